#include "app/shell/window/ModalKeyboard.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace lumora {
namespace {

// A click behind a sheet: the window manager activates the blocked window; the keyboard must
// come back to the sheet, while windows the sheet does not block keep theirs. (The offscreen
// platform never leaves the focus on a blocked window; under X11 a window manager does, which
// bench/drive-window shows.)
TEST(ModalKeyboardTest, activatingTheWindowBehindAModalHandsTheKeyboardBackToIt) {
  modalkeyboard::install(*qApp);
  QWidget window;
  window.resize(400, 300);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QWidget other;
  other.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
  QDialog sheet(&window);
  sheet.setWindowModality(Qt::WindowModal);
  sheet.open();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
  EXPECT_EQ(modalkeyboard::blockerOf(window.windowHandle()), sheet.windowHandle());
  EXPECT_EQ(modalkeyboard::blockerOf(other.windowHandle()), nullptr);
  EXPECT_EQ(modalkeyboard::blockerOf(sheet.windowHandle()), nullptr);

  window.windowHandle()->requestActivate();
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return QGuiApplication::focusWindow() == sheet.windowHandle(); }, 2000));

  other.windowHandle()->requestActivate();
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return QGuiApplication::focusWindow() == other.windowHandle(); }, 2000));
  QTest::qWait(50);
  EXPECT_EQ(QGuiApplication::focusWindow(), other.windowHandle()) << "an unblocked window keeps it";

  sheet.close();
  EXPECT_EQ(modalkeyboard::blockerOf(window.windowHandle()), nullptr);
}

} // namespace
} // namespace lumora
