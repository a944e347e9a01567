#include "app/shell/theme/ThemedButton.h"
#include "app/shell/window/AppearanceController.h"
#include "app/shell/window/QtTranslations.h"
#include "app/shell/window/SingleInstance.h"
#include "platform/gui/SystemColorScheme.h"
#include "tests/support/TempDir.h"

#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>
#include <gtest/gtest.h>

namespace lumora {
namespace {

QString folderOf(const testsupport::TempDir &dir) {
  return QString::fromStdString(dir.path().string());
}

TEST(SingleInstanceTest, SecondCopyIsTurnedAwayAndAsksTheFirstToShow) {
  testsupport::TempDir dir;
  SingleInstance first(folderOf(dir));
  ASSERT_TRUE(first.acquire());
  QSignalSpy raised(&first, &SingleInstance::activationRequested);
  SingleInstance second(folderOf(dir));
  EXPECT_FALSE(second.acquire());
  EXPECT_TRUE(raised.wait(2000));
}

TEST(SingleInstanceTest, CopiesOverOneDataFolderMeetWhateverTheirRuntimeFolders) {
  testsupport::TempDir data;
  testsupport::TempDir runtimeA;
  testsupport::TempDir runtimeB;
  testsupport::TempDir otherData;
  SingleInstance first(folderOf(data), folderOf(runtimeA));
  ASSERT_TRUE(first.acquire());
  SingleInstance second(folderOf(data), folderOf(runtimeB));
  EXPECT_FALSE(second.acquire());
  SingleInstance elsewhere(folderOf(otherData), folderOf(runtimeA));
  EXPECT_TRUE(elsewhere.acquire());
  EXPECT_NE(elsewhere.socketPath(), first.socketPath());
}

TEST(ThemedButtonTest, TakesFocusByTabOnlyAndStillClicks) {
  QWidget window;
  auto *before = new QPushButton(QStringLiteral("a"), &window);
  auto *button = new ThemedButton(QStringLiteral("重新扫描"), ThemedButton::Style::prominent,
                                  ThemedButton::Size::large, &window);
  button->move(0, 40);
  window.show();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  before->setFocus();
  QSignalSpy clicked(button, &QPushButton::clicked);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicked.count(), 1);
  EXPECT_FALSE(button->hasFocus());
  QTest::keyClick(before, Qt::Key_Tab);
  EXPECT_TRUE(button->hasFocus());
  EXPECT_EQ(button->sizeHint().height(), 34);
}

TEST(AppearanceControllerTest, WindowAppearanceReachesItsMenusAndClearsAgain) {
  platform::SystemColorScheme system;
  testsupport::TempDir markers;
  AppearanceController appearance(system, folderOf(markers));
  QWidget window;
  auto *menu = new QMenu(&window);
  appearance.setApplicationAppearance(ColorScheme::dark);
  appearance.setWindowAppearance(&window, ColorScheme::light);
  EXPECT_EQ(menu->palette().color(QPalette::Window), Theme::light().windowBackground);
  appearance.setWindowAppearance(&window, std::nullopt);
  EXPECT_EQ(menu->palette().color(QPalette::Window), Theme::dark().windowBackground)
      << "without an appearance of its own the menu follows the application";
}

TEST(QtTranslationsTest, QtsDialogTextsSpeakChineseAndAMissingPackageChangesNothing) {
  EXPECT_EQ(qttranslations::install(QStringLiteral("/nonexistent")), nullptr);
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
  const QString directory = qttranslations::systemDirectory();
  if (!QFile::exists(directory + QStringLiteral("/qtbase_zh_CN.qm"))) {
    GTEST_SKIP() << "Qt's translations are not installed in " << directory.toStdString();
  }
  QTranslator *installed = qttranslations::install(directory);
  ASSERT_NE(installed, nullptr);
  EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
  EXPECT_NE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
  QCoreApplication::removeTranslator(installed);
  delete installed;
}

} // namespace
} // namespace lumora
