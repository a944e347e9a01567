// Starts the built application (offscreen, in its own home folder) and checks what a user
// or a session manager sees from outside: the diagnostics lines, the session marker, the
// single running copy, the desktop entry.

#include "tests/support/TempDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class AppBinaryTest : public ::testing::Test {
protected:
  AppBinaryTest() {
    const QString root = QString::fromStdString(home.path().string());
    QDir(root).mkpath(QStringLiteral("run"));
    QFile::setPermissions(root + QStringLiteral("/run"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), root);
    environment.insert(QStringLiteral("XDG_DATA_HOME"), root + QStringLiteral("/data"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), root + QStringLiteral("/config"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), root + QStringLiteral("/cache"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), root + QStringLiteral("/run"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    dataFolder = root + QStringLiteral("/data/Lumora");
  }

  void start(QProcess &process) {
    process.setProcessEnvironment(environment);
    process.setProgram(QStringLiteral(PINDLE_APP_BINARY));
    process.start();
    ASSERT_TRUE(process.waitForStarted(10000));
  }

  [[nodiscard]] QString log() const {
    QFile file(dataFolder + QStringLiteral("/diagnostics.log"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }

  [[nodiscard]] bool markerExists() const {
    return QFile::exists(dataFolder + QStringLiteral("/session.running"));
  }

  // Waits (up to 20 s) until the log holds `text` `times` times.
  bool waitForLog(const QString &text, int times = 1) const {
    QElapsedTimer clock;
    clock.start();
    while (log().count(text) < times && clock.elapsed() < 20000) {
      QThread::msleep(20);
    }
    return log().count(text) >= times;
  }

  void terminate(QProcess &process) {
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
  }

  testsupport::TempDir home;
  QProcessEnvironment environment;
  QString dataFolder;
};

TEST_F(AppBinaryTest, StaleMarkerIsReportedBeforeTheLaunchAndSigtermEndsTheSession) {
  ASSERT_TRUE(QDir().mkpath(dataFolder));
  QFile stale(dataFolder + QStringLiteral("/session.running"));
  ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
  stale.write("running");
  stale.close();

  QProcess app;
  start(app);
  ASSERT_TRUE(waitForLog(QStringLiteral("app-launch")));
  const QString text = log();
  const qsizetype unclean =
      text.indexOf(QStringLiteral("[app] ⚠️ unclean previous exit detected"));
  const qsizetype launch = text.indexOf(QStringLiteral("[app] launch "));
  const qsizetype memory = text.indexOf(QStringLiteral("[mem] app-launch: "));
  EXPECT_GE(unclean, 0);
  EXPECT_LT(unclean, launch);
  EXPECT_LT(launch, memory);
  EXPECT_TRUE(markerExists());
  terminate(app);
  EXPECT_FALSE(markerExists());
}

TEST_F(AppBinaryTest, InterruptAndHangupAlsoEndTheSessionCleanly) {
  for (const int signal : {SIGINT, SIGHUP}) {
    QProcess app;
    start(app);
    ASSERT_TRUE(waitForLog(QStringLiteral("app-launch")));
    ASSERT_TRUE(markerExists());
    ::kill(static_cast<pid_t>(app.processId()), signal);
    ASSERT_TRUE(app.waitForFinished(10000));
    EXPECT_EQ(app.exitCode(), 0) << signal;
    EXPECT_FALSE(markerExists()) << signal;
    QFile::remove(dataFolder + QStringLiteral("/diagnostics.log"));
  }
}

TEST_F(AppBinaryTest, SigtermDuringStartUpEndsTheProcessWithoutLeavingTheMarker) {
  for (const int delayMs : {0, 50, 150}) {
    QProcess app;
    start(app);
    QThread::msleep(static_cast<unsigned long>(delayMs));
    ::kill(static_cast<pid_t>(app.processId()), SIGTERM);
    // Before main runs the default action ends the process; later the signal is held until
    // the handlers are installed, which end it.
    ASSERT_TRUE(app.waitForFinished(5000)) << delayMs;
    EXPECT_FALSE(markerExists()) << delayMs;
  }
}

TEST_F(AppBinaryTest, DataFolderAndItsFilesArePrivate) {
  QProcess app;
  start(app);
  ASSERT_TRUE(waitForLog(QStringLiteral("app-launch")));
  terminate(app);
  // No permission for the group or others (Qt's flags 0x0077).
  EXPECT_EQ(QFileInfo(dataFolder).permissions().toInt() & 0x0077, 0);
  EXPECT_EQ(QFile::permissions(dataFolder + QStringLiteral("/diagnostics.log")).toInt() & 0x0077,
            0);
}

TEST_F(AppBinaryTest, CopyKilledOutrightDoesNotBlockTheNextLaunch) {
  QProcess crashed;
  start(crashed);
  ASSERT_TRUE(waitForLog(QStringLiteral("app-launch")));
  crashed.kill(); // SIGKILL: no shut-down runs, the lock and the marker stay behind
  ASSERT_TRUE(crashed.waitForFinished(10000));
  QProcess next;
  start(next);
  ASSERT_TRUE(waitForLog(QStringLiteral("unclean previous exit")));
  ASSERT_TRUE(waitForLog(QStringLiteral("app-launch: "), 2));
  EXPECT_EQ(next.state(), QProcess::Running);
  terminate(next);
}

TEST_F(AppBinaryTest, SecondLaunchLeavesTheFirstRunningAndExits) {
  QProcess first;
  start(first);
  ASSERT_TRUE(waitForLog(QStringLiteral("app-launch")));
  QProcess second;
  start(second);
  ASSERT_TRUE(second.waitForFinished(10000));
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(first.state(), QProcess::Running);
  EXPECT_EQ(log().count(QStringLiteral("[app] launch ")), 1);
  EXPECT_TRUE(markerExists()) << "the second copy must not end the first one's session";
  terminate(first);
}

TEST_F(AppBinaryTest, SecondLaunchWithAnotherRuntimeFolderRaisesTheFirstWindow) {
  QProcess first;
  start(first);
  ASSERT_TRUE(waitForLog(QStringLiteral("app-launch")));
  const QString otherRuntime = QString::fromStdString(home.path().string()) + "/run2";
  ASSERT_TRUE(QDir().mkpath(otherRuntime));
  environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), otherRuntime);
  QProcess second;
  start(second);
  ASSERT_TRUE(second.waitForFinished(10000));
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_TRUE(waitForLog(QStringLiteral("[app] window raised for a later copy")));
  terminate(first);
}

TEST_F(AppBinaryTest, HelpAndVersionAnswerWithoutADisplay) {
  // A platform that needs a display, and none to connect to: the window must not start.
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  environment.remove(QStringLiteral("DISPLAY"));
  environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
  for (const QString &argument : {QStringLiteral("--help"), QStringLiteral("--version")}) {
    QProcess app;
    app.setArguments({argument});
    start(app);
    ASSERT_TRUE(app.waitForFinished(10000)) << argument.toStdString();
    EXPECT_EQ(app.exitStatus(), QProcess::NormalExit) << argument.toStdString();
    EXPECT_EQ(app.exitCode(), 0) << argument.toStdString();
    const QString out = QString::fromUtf8(app.readAllStandardOutput());
    if (argument == QStringLiteral("--help")) {
      EXPECT_TRUE(out.startsWith(QStringLiteral("Usage: "))) << out.toStdString();
      EXPECT_TRUE(out.contains(QStringLiteral("--selftest-ui <folder>"))) << out.toStdString();
    } else {
      EXPECT_TRUE(
          QRegularExpression(QStringLiteral("^Pindle \\S+ \\(\\S+\\)\n$")).match(out).hasMatch())
          << out.toStdString();
    }
  }
  EXPECT_FALSE(QFile::exists(dataFolder + QStringLiteral("/diagnostics.log")))
      << "answering started the application";
}

TEST(DesktopEntryTest, PassesDesktopFileValidate) {
  const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
  if (validator.isEmpty()) {
    GTEST_SKIP() << "desktop-file-validate is not installed (package desktop-file-utils)";
  }
  QProcess process;
  process.start(validator, {QStringLiteral(PINDLE_DESKTOP_FILE)});
  ASSERT_TRUE(process.waitForFinished(10000));
  EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardOutput().toStdString();
  QFile entry(QStringLiteral(PINDLE_DESKTOP_FILE));
  ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(entry.readAll());
  EXPECT_TRUE(text.contains(QStringLiteral("\nName[zh_CN]=")));
  EXPECT_TRUE(text.contains(QStringLiteral("\nComment[zh_CN]=")));
  EXPECT_TRUE(text.contains(QStringLiteral("\nIcon=pindle\n")));
}

} // namespace
