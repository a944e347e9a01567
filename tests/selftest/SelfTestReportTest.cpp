#include "app/selftest/SelfTestReport.h"
#include "engine/diagnostics/Diagnostics.h"
#include "tests/support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using namespace lumora;

MotionSegment segment(const char *name, double maxJump) {
  MotionSegment s;
  s.name = QString::fromLatin1(name);
  s.animated = 9;
  s.settleMs = 412;
  s.maxJump = maxJump;
  return s;
}

QByteArray contents(const std::filesystem::path &path) {
  QFile file(QString::fromStdString(path.string()));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(SelfTestReportTest, InteractionReportLines) {
  EXPECT_EQ(selftestreport::interactionReport(std::nullopt), QStringLiteral("SELFTEST_UI_PASS\n"));
  EXPECT_EQ(selftestreport::interactionReport(QStringLiteral("Esc 没有返回列表")),
            QStringLiteral("SELFTEST_UI_FAIL: Esc 没有返回列表\n"));
}

TEST(SelfTestReportTest, MotionReportFormatsSegmentsNotesAndFailures) {
  const std::vector<MotionSegment> segments{segment("detail", 12.345), segment("back", 0)};
  EXPECT_EQ(selftestreport::motionReport({}, segments, {}),
            QStringLiteral("SELFTEST_MOTION_PASS detail(animated=9 settle=412ms maxJump=12.3% "
                           "blank=0) back(animated=9 settle=412ms maxJump=0.0% blank=0)\n"));
  EXPECT_EQ(selftestreport::motionReport({}, segments, {QStringLiteral("SKIP")}).section('\n', 1),
            QStringLiteral("SKIP\n"));
  EXPECT_EQ(selftestreport::motionReport({QStringLiteral("a"), QStringLiteral("b")}, segments,
                                         {QStringLiteral("SKIP")}),
            QStringLiteral("SELFTEST_MOTION_FAIL: a\nSELFTEST_MOTION_FAIL: b\n"));
}

TEST(SelfTestReportTest, PublishWritesBothFilesByteExactAndSurvivesAnUnwritablePath) {
  testsupport::TempDir dir;
  qputenv("PINDLE_SELFTEST_OUT", QByteArray::fromStdString((dir.path() / "out").string()));
  const QString report = QStringLiteral("SELFTEST_UI_FAIL: 「权限」\n");
  selftestreport::publish(report, QStringLiteral("copy.log"),
                          QString::fromStdString(dir.file("log").string()));
  EXPECT_EQ(contents(dir.path() / "out" / "copy.log"), report.toUtf8());
  EXPECT_EQ(contents(dir.file("log")), report.toUtf8());
  // Another user's report stays where the log goes: standard error says it is not this run's.
  const std::filesystem::path theirs = dir.write("theirs", "SELFTEST_UI_PASS\n");
  std::filesystem::create_symlink(theirs, dir.file("shared.log"));
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  selftestreport::publish(report, QStringLiteral("copy.log"),
                          QString::fromStdString(dir.file("shared.log").string()));
  EXPECT_EQ(QString::fromStdString(testing::internal::GetCapturedStdout()), report);
  const std::string warned = testing::internal::GetCapturedStderr();
  EXPECT_NE(warned.find(
                "shared.log refused: a symbolic link); that file does not hold this run's report"),
            std::string::npos)
      << warned;
  EXPECT_EQ(contents(theirs), QByteArray("SELFTEST_UI_PASS\n"));
  qunsetenv("PINDLE_SELFTEST_OUT");
}

TEST(SelfTestReportTest, APlantedLinkOrAnotherUsersFileAtTheReportPathIsLeftAlone) {
  testsupport::TempDir dir;
  const std::filesystem::path victim = dir.write("victim", "keep");
  const std::filesystem::path report = dir.file("report.log");
  std::filesystem::create_symlink(victim, report);
  const QString path = QString::fromStdString(report.string());
  EXPECT_FALSE(selftestreport::writeAtomically(path, "SELFTEST_UI_PASS\n"));
  EXPECT_EQ(contents(victim), QByteArray("keep"));
  EXPECT_TRUE(std::filesystem::is_symlink(report));
  QFile log(Diagnostics::directory() + QStringLiteral("/diagnostics.log"));
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  EXPECT_TRUE(log.readAll().contains(": a symbolic link"));
  if (::geteuid() != 0) {
    GTEST_SKIP() << "only root can give a file to another user (chown)";
  }
  std::filesystem::remove(report);
  dir.write("report.log", "theirs");
  ASSERT_EQ(::chown(report.c_str(), 65534, 65534), 0);
  EXPECT_FALSE(selftestreport::writeAtomically(path, "SELFTEST_UI_PASS\n"));
  EXPECT_EQ(contents(report), QByteArray("theirs"));
}

} // namespace
