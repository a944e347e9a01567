#include "app/shell/window/ModalKeyboard.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace lumora {
namespace {

// A window-modal sheet blocks only the window it belongs to: the keyboard is handed back to
// it from that window, never taken from the sheet itself or from an unrelated window. (The
// offscreen platform never leaves the focus on a blocked window; under X11 a window manager
// does, which bench/drive-window shows.)
TEST(ModalKeyboardTest, aSheetBlocksOnlyTheWindowItBelongsTo) {
  QWidget window;
  window.show();
  QWidget other;
  other.show();
  QDialog sheet(&window);
  sheet.setWindowModality(Qt::WindowModal);
  sheet.open();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
  EXPECT_EQ(modalkeyboard::blockerOf(window.windowHandle()), sheet.windowHandle());
  EXPECT_EQ(modalkeyboard::blockerOf(other.windowHandle()), nullptr);
  EXPECT_EQ(modalkeyboard::blockerOf(sheet.windowHandle()), nullptr);
  sheet.close();
  EXPECT_EQ(modalkeyboard::blockerOf(window.windowHandle()), nullptr);
}

} // namespace
} // namespace lumora
