#include "app/shell/theme/ThemedButton.h"
#include "app/shell/window/AppearanceController.h"
#include "app/shell/window/QtTranslations.h"
#include "app/shell/window/SingleInstance.h"
#include "app/shell/window/StartProblem.h"
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
  testsupport::TempDir otherData;
  SingleInstance first(folderOf(dir));
  ASSERT_EQ(first.acquire(), SingleInstance::Outcome::first);
  QSignalSpy raised(&first, &SingleInstance::activationRequested);
  SingleInstance second(folderOf(dir));
  EXPECT_EQ(second.acquire(), SingleInstance::Outcome::handedOver);
  EXPECT_TRUE(raised.wait(2000));
  SingleInstance elsewhere(folderOf(otherData));
  EXPECT_EQ(elsewhere.acquire(), SingleInstance::Outcome::first);
}

TEST(SingleInstanceTest, ADataFolderTooDeepForASocketPathStillMeetsItsCopies) {
  testsupport::TempDir dir;
  const QString deep = folderOf(dir) + QLatin1Char('/') + QString(120, QLatin1Char('d'));
  SingleInstance first(deep);
  ASSERT_EQ(first.acquire(), SingleInstance::Outcome::first);
  QSignalSpy raised(&first, &SingleInstance::activationRequested);
  EXPECT_EQ(SingleInstance(deep).acquire(), SingleInstance::Outcome::handedOver);
  EXPECT_TRUE(raised.wait(2000));
}

TEST(SingleInstanceTest, ACopyThatCannotBeReachedSaysWhy) {
  testsupport::TempDir dir;
  // A copy that holds the lock but listens nowhere (its socket was removed).
  const platform::FileLock held = platform::FileLock::tryAcquire(dir.file("pindle.lock"));
  SingleInstance second(folderOf(dir));
  EXPECT_EQ(second.acquire(), SingleInstance::Outcome::unreachable);
  EXPECT_TRUE(second.problem().contains(QStringLiteral("already running")));
}

TEST(SingleInstanceTest, AFolderInPlaceOfTheLockIsReplacedWhenEmptyElseTheCopyDoesNotRun) {
  testsupport::TempDir dir;
  std::filesystem::create_directory(dir.file("pindle.lock"));
  {
    SingleInstance first(folderOf(dir));
    EXPECT_EQ(first.acquire(), SingleInstance::Outcome::first);
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.file("pindle.lock")));
  }
  std::filesystem::remove(dir.file("pindle.lock"));
  std::filesystem::create_directories(dir.file("pindle.lock/kept"));
  SingleInstance blocked(folderOf(dir));
  EXPECT_EQ(blocked.acquire(), SingleInstance::Outcome::refused);
  EXPECT_TRUE(blocked.problem().contains(QStringLiteral("pindle.lock is a folder")));
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("pindle.lock/kept")));

  // Started from the desktop there is no terminal: the reason is shown in a dialog wherever
  // there is a display, and only there (a test or tool on the offscreen platform).
  QStringList shown;
  const startproblem::Dialog dialog = [&shown](const QString &title, const QString &text) {
    shown << title << text;
  };
  startproblem::report(false, blocked.problem(), startproblem::hasDisplay(QStringLiteral("xcb")),
                       dialog);
  ASSERT_EQ(shown.size(), 2);
  EXPECT_EQ(shown[0], QStringLiteral("Pindle 没有启动"));
  EXPECT_TRUE(shown[1].contains(QStringLiteral("把它移走后再打开 Pindle")));
  EXPECT_TRUE(shown[1].endsWith(blocked.problem()));
  shown.clear();
  startproblem::report(true, QStringLiteral("held"),
                       startproblem::hasDisplay(QStringLiteral("wayland")), dialog);
  ASSERT_EQ(shown.size(), 2);
  EXPECT_TRUE(shown[1].startsWith(QStringLiteral("Pindle 已经在运行")));
  shown.clear();
  for (const char *platform : {"offscreen", "minimal", ""}) {
    startproblem::report(false, QStringLiteral("quiet"),
                         startproblem::hasDisplay(QString::fromLatin1(platform)), dialog);
  }
  EXPECT_TRUE(shown.isEmpty());
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
