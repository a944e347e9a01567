#include "app/selftest/SelfTestHarness.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

using namespace lumora;

TEST(SelfTestHarnessTest, AHostWindowRendersButIsNeverMappedNorActivated) {
  auto *content = new QWidget;
  content->setFixedSize(300, 200);
  content->setStyleSheet(QStringLiteral("background: red"));
  std::unique_ptr<QWidget> window(SelfTestHarness::hostWindow(content, QRect(60, 60, 300, 200)));
  SelfTestHarness::wait(50);
  EXPECT_TRUE(window->isVisible()) << "Qt lays out, paints and animates a shown widget only";
  EXPECT_TRUE(window->testAttribute(Qt::WA_DontShowOnScreen));
  const QWindow *handle = window->windowHandle();
  EXPECT_TRUE(handle == nullptr || !handle->isVisible()) << "the platform window was mapped";
  EXPECT_NE(QApplication::activeWindow(), window.get());
  const QImage picture = content->grab().toImage();
  ASSERT_EQ(picture.size(), QSize(300, 200));
  EXPECT_EQ(picture.pixelColor(150, 100), QColor(Qt::red));
}

} // namespace
