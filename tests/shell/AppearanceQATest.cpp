#include "app/shell/QAInputs.h"
#include "app/shell/window/AppearanceController.h"
#include "app/shell/window/QAOverrides.h"
#include "app/store/services/UserDefaults.h"
#include "platform/gui/SystemColorScheme.h"
#include "tests/support/TempDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QWidget>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

namespace lumora {
namespace {

// Collects scheduled steps and runs them in time order, without waiting.
class ManualScheduler {
public:
  Scheduler scheduler() {
    return [this](int delayMs, std::function<void()> task) {
      m_queue.emplace(m_now + delayMs, std::move(task));
    };
  }
  // Runs every step due up to `untilMs` (steps may schedule further steps).
  void runUntil(int untilMs) {
    while (!m_queue.empty() && m_queue.begin()->first <= untilMs) {
      auto node = m_queue.extract(m_queue.begin());
      m_now = node.key();
      node.mapped()();
    }
    m_now = untilMs;
  }
  [[nodiscard]] int now() const { return m_now; }
  [[nodiscard]] bool idle() const { return m_queue.empty(); }

private:
  std::multimap<int, std::function<void()>> m_queue;
  int m_now = 0;
};

class AppearanceQATest : public ::testing::Test {
protected:
  void SetUp() override { userdefaults::open().clear(); }
  void TearDown() override { userdefaults::open().clear(); }

  void writeMarker(const QByteArray &bytes) {
    QFile file(markerPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  [[nodiscard]] QString markerDir() const { return QString::fromStdString(temp.path().string()); }
  [[nodiscard]] QString markerPath() const {
    return markerDir() + QLatin1Char('/') + QLatin1String(qa::kAppearanceMarker);
  }

  testsupport::TempDir temp;
};

TEST_F(AppearanceQATest, MarkerIsTrimmedAndLowerCasedAndOnlyLightOrDarkForce) {
  EXPECT_EQ(qa::forcedColorScheme(markerDir()), std::nullopt);
  writeMarker("  Light\n");
  EXPECT_EQ(qa::forcedColorScheme(markerDir()), ColorScheme::light);
  writeMarker("DARK");
  EXPECT_EQ(qa::forcedColorScheme(markerDir()), ColorScheme::dark);
  writeMarker("system");
  EXPECT_EQ(qa::forcedColorScheme(markerDir()), std::nullopt);
  writeMarker("\xff\xfelight");
  EXPECT_EQ(qa::forcedColorScheme(markerDir()), std::nullopt);
}

TEST_F(AppearanceQATest, FifoOrOversizedMarkerNeitherHangsNorForces) {
  ASSERT_EQ(::mkfifo(markerPath().toLocal8Bit().constData(), 0600), 0);
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(qa::forcedColorScheme(markerDir()), std::nullopt);
  EXPECT_LT(clock.elapsed(), 1000);
  QFile::remove(markerPath());
  writeMarker(QByteArray("light") + QByteArray(100, ' '));
  EXPECT_EQ(qa::forcedColorScheme(markerDir()), std::nullopt);
}

TEST_F(AppearanceQATest, SizesParseAsTwoFiniteNumbersWithinScreenBounds) {
  EXPECT_EQ(qa::parseSize(QStringLiteral("1200X800")), QSizeF(1200, 800));
  EXPECT_EQ(qa::parseSize(QStringLiteral("x1200xx800")), QSizeF(1200, 800));
  EXPECT_EQ(qa::parseSize(QStringLiteral("1200.7x800")), QSizeF(1200.7, 800));
  for (const char *bad : {"1200x", "1200x800x600", "0x0", "-800x600", "1e9x800", "infx800",
                          "nanx800", "abcx800", "32768x600", ""}) {
    EXPECT_EQ(qa::parseSize(QString::fromLatin1(bad)), std::nullopt) << bad;
  }
  EXPECT_EQ(qa::optionValue({QStringLiteral("a"), QStringLiteral("--window-size")},
                            QStringLiteral("--window-size")),
            std::nullopt);
}

TEST_F(AppearanceQATest, SizeIsHeldFortyTimesWithFiveLogLines) {
  userdefaults::open().setValue(QLatin1String(qa::kWindowSizeKey), QStringLiteral("1200.7x800"));
  QWidget window;
  window.resize(500, 400);
  window.show();
  ManualScheduler clock;
  QStringList lines;
  std::vector<int> lineTimes;
  QAOverrides::apply({{},
                      nullptr,
                      clock.scheduler(),
                      [&] { return QList<QWidget *>{&window}; },
                      [&](const QString &line) {
                        lines.append(line);
                        lineTimes.push_back(clock.now());
                      }});
  ASSERT_GE(lines.size(), 2);
  EXPECT_TRUE(
      lines[0].startsWith(QStringLiteral("bundle=com.lumora.Pindle size=1200.7x800 keys=[")));
  EXPECT_EQ(lines[1], QStringLiteral("will enforce window size 1200x800"));
  clock.runUntil(20000);
  EXPECT_TRUE(clock.idle());
  ASSERT_EQ(lines.size(), 7);
  EXPECT_EQ(lines[2], QStringLiteral("size attempt #1 windows=[1201x800 vis=true]"));
  EXPECT_TRUE(lines[6].startsWith(QStringLiteral("size attempt #40 ")));
  EXPECT_EQ(lineTimes[2], 300);
  EXPECT_EQ(lineTimes[6], 300 + 39 * 200);
}

TEST_F(AppearanceQATest, InvalidSizeStartsNoEnforcement) {
  userdefaults::open().setValue(QLatin1String(qa::kWindowSizeKey), QStringLiteral("0x0"));
  ManualScheduler clock;
  QStringList lines;
  QAOverrides::apply({{},
                      nullptr,
                      clock.scheduler(),
                      [] { return QList<QWidget *>{}; },
                      [&](const QString &line) { lines.append(line); }});
  clock.runUntil(20000);
  ASSERT_EQ(lines.size(), 1);
  EXPECT_TRUE(lines[0].contains(QStringLiteral("size=0x0")));
}

TEST_F(AppearanceQATest, EnforcementLeavesNearSizesAndUnzoomsMaximisedWindows) {
  QWidget window;
  window.resize(1200, 801);
  window.show();
  EXPECT_FALSE(QAOverrides::enforceSize({&window}, QSizeF(1200.5, 800)));
  window.showMaximized();
  QCoreApplication::processEvents();
  EXPECT_TRUE(QAOverrides::enforceSize({&window}, QSizeF(640, 480)));
  EXPECT_FALSE(window.isMaximized());
  EXPECT_EQ(window.size(), QSize(640, 480));
  QWidget hidden;
  EXPECT_FALSE(QAOverrides::enforceSize({&hidden}, QSizeF(640, 480)));
}

TEST_F(AppearanceQATest, ForcedAppearanceArgumentReachesWindowsButNotTheContent) {
  userdefaults::open().setValue(QStringLiteral("AppearanceMode"), QStringLiteral("light"));
  platform::SystemColorScheme system;
  AppearanceController appearance(system, markerDir());
  QWidget window;
  auto *content = new QWidget(&window);
  appearance.setContentRoot(content);
  window.show();
  ManualScheduler clock;
  const auto windows = [&] { return QList<QWidget *>{&window}; };
  QAOverrides::apply({{QStringLiteral("--force-appearance"), QStringLiteral("dark")},
                      &appearance,
                      clock.scheduler(),
                      windows,
                      [](const QString &) {}});
  appearance.applyStoredAppearance([&](int ms, std::function<void()> task) {
    clock.scheduler()(ms, [&window, &appearance, task] {
      task();
      // The real step covers every window of the application; keep it to ours here.
      appearance.setWindowAppearance(&window, appearance.applicationAppearance());
    });
  });
  EXPECT_EQ(appearance.applicationAppearance(), ColorScheme::light);
  clock.runUntil(400);
  EXPECT_EQ(AppearanceController::windowAppearance(&window), ColorScheme::light);
  clock.runUntil(800);
  EXPECT_EQ(AppearanceController::windowAppearance(&window), ColorScheme::dark);
  EXPECT_EQ(appearance.applicationAppearance(), ColorScheme::light);
  EXPECT_EQ(Theme::schemeOf(content), ColorScheme::light);
}

TEST_F(AppearanceQATest, WindowSizeArgumentResizesOnceAfterOneSecond) {
  QWidget window;
  window.resize(500, 400);
  window.show();
  ManualScheduler clock;
  const auto windows = [&] { return QList<QWidget *>{&window}; };
  QAOverrides::apply({{QStringLiteral("--window-size"), QStringLiteral("800X600")},
                      nullptr,
                      clock.scheduler(),
                      windows,
                      [](const QString &) {}});
  clock.runUntil(999);
  EXPECT_EQ(window.size(), QSize(500, 400));
  clock.runUntil(1000);
  EXPECT_EQ(window.size(), QSize(800, 600));
  EXPECT_TRUE(clock.idle());
  QAOverrides::apply({{QStringLiteral("--window-size"), QStringLiteral("-800x600")},
                      nullptr,
                      clock.scheduler(),
                      windows,
                      [](const QString &) {}});
  EXPECT_TRUE(clock.idle()) << "a rejected size schedules nothing";
  QAOverrides::apply({{QStringLiteral("--window-size=900x700")},
                      nullptr,
                      clock.scheduler(),
                      windows,
                      [](const QString &) {}});
  clock.runUntil(2000);
  EXPECT_EQ(window.size(), QSize(900, 700)) << "the size joined to the option with '='";
}

TEST_F(AppearanceQATest, ForceAppearanceAsLastArgumentChangesNothing) {
  QWidget window;
  window.show();
  platform::SystemColorScheme system;
  AppearanceController appearance(system, markerDir());
  ManualScheduler clock;
  QAOverrides::apply({{QStringLiteral("--force-appearance")},
                      &appearance,
                      clock.scheduler(),
                      [&] { return QList<QWidget *>{&window}; },
                      [](const QString &) {}});
  clock.runUntil(2000);
  EXPECT_EQ(AppearanceController::windowAppearance(&window), std::nullopt);
}

TEST_F(AppearanceQATest, ContentIsDarkByDefaultAndTheMarkerWins) {
  platform::SystemColorScheme system;
  AppearanceController appearance(system, markerDir());
  QWidget content;
  appearance.setContentRoot(&content);
  EXPECT_EQ(Theme::schemeOf(&content), ColorScheme::dark);
  appearance.applyStoredAppearance([](int, std::function<void()>) {});
  EXPECT_EQ(appearance.applicationAppearance(), ColorScheme::dark);
  writeMarker("light");
  appearance.chooseMode(AppearanceMode::dark);
  EXPECT_EQ(Theme::schemeOf(&content), ColorScheme::light) << "the marker keeps the content";
  EXPECT_EQ(appearance.applicationAppearance(), ColorScheme::dark);
}

TEST_F(AppearanceQATest, SystemModeFollowsThePortalLive) {
  platform::SystemColorScheme system;
  AppearanceController appearance(system, markerDir());
  QWidget content;
  appearance.setContentRoot(&content);
  appearance.chooseMode(AppearanceMode::system);
  EXPECT_EQ(Theme::schemeOf(&content), ColorScheme::light);
  system.setValue(1); // the portal reports "prefer dark"
  EXPECT_EQ(Theme::schemeOf(&content), ColorScheme::dark);
  EXPECT_LT(QApplication::palette().color(QPalette::Window).lightness(), 100);
  system.setValue(2);
  EXPECT_EQ(Theme::schemeOf(&content), ColorScheme::light);
  appearance.chooseMode(AppearanceMode::dark);
  system.setValue(2);
  EXPECT_EQ(Theme::schemeOf(&content), ColorScheme::dark);
}

} // namespace
} // namespace lumora
