#include "engine/diagnostics/Diagnostics.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <sys/utsname.h>
#include <thread>
#include <vector>

using namespace lumora;

namespace {

QString logPath() { return Diagnostics::logURL().toLocalFile(); }
QString markerPath() { return Diagnostics::directory() + QStringLiteral("/session.running"); }

QStringList logLines() {
  QFile file(logPath());
  if (!file.open(QIODevice::ReadOnly)) {
    return {};
  }
  return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The message part of a line: what follows "] [category] ".
QString messageOf(const QString &line) { return line.section(QStringLiteral("] "), 2); }

class DiagnosticsTest : public ::testing::Test {
protected:
  void SetUp() override {
    Diagnostics::clear();
    QFile::remove(markerPath());
  }
};

} // namespace

TEST_F(DiagnosticsTest, logWritesOneTimestampedLineAndClearRemovesTheFile) {
  EXPECT_EQ(Diagnostics::logURL().fileName(), QStringLiteral("diagnostics.log"));
  Diagnostics::log(QStringLiteral("scan"), QStringLiteral("first"));
  Diagnostics::log(QStringLiteral("ui"), QStringLiteral("second\nline"));
  const QStringList lines = logLines();
  ASSERT_EQ(lines.size(), 2);
  const QRegularExpression shape(
      QStringLiteral(R"(^\[\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ\] \[scan\] first$)"));
  EXPECT_TRUE(shape.match(lines[0]).hasMatch()) << lines[0].toStdString();
  EXPECT_EQ(messageOf(lines[1]), QStringLiteral("second\\nline"));

  Diagnostics::clear();
  EXPECT_FALSE(QFile::exists(logPath()));
  Diagnostics::log(QStringLiteral("app"), QStringLiteral("again"));
  EXPECT_EQ(logLines().size(), 1);
}

TEST_F(DiagnosticsTest, timingAndMemoryLinesRoundToWholeUnits) {
  Diagnostics::logTiming(QStringLiteral("cache-load(12 entries)"), 0.0866);
  Diagnostics::logMemory(QStringLiteral("after-enumerate"));
  const QStringList lines = logLines();
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(lines[0].contains(QStringLiteral("] [perf] cache-load(12 entries): 87 ms")));
  EXPECT_TRUE(lines[1].contains(QStringLiteral("] [mem] after-enumerate: ")));
  EXPECT_TRUE(lines[1].endsWith(QStringLiteral(" MB")));
}

TEST_F(DiagnosticsTest, residentMemoryGrowsWhenPagesAreTouched) {
  const double before = Diagnostics::currentResidentMB();
  ASSERT_GT(before, 0);
  std::vector<char> block(64 * 1024 * 1024, 1);
  const double after = Diagnostics::currentResidentMB();
  EXPECT_GT(after, before + 48) << "touched 64 MiB";
  EXPECT_EQ(block[12345], 1);
}

TEST_F(DiagnosticsTest, sessionMarkerDetectsOneUncleanExit) {
  Diagnostics::beginSession();
  EXPECT_TRUE(logLines().isEmpty()) << "a first start is not an unclean exit";
  QFile marker(markerPath());
  ASSERT_TRUE(marker.open(QIODevice::ReadOnly));
  EXPECT_EQ(marker.readAll(), QByteArray("running"));
  marker.close();

  // The run "crashes": the marker stays, and the next start reports it once.
  Diagnostics::beginSession();
  ASSERT_EQ(logLines().size(), 1);
  EXPECT_TRUE(logLines()[0].endsWith(QStringLiteral("] [app] ⚠️ unclean previous exit detected")));
  EXPECT_TRUE(QFile::exists(markerPath()));

  Diagnostics::endSession();
  EXPECT_FALSE(QFile::exists(markerPath()));
  Diagnostics::beginSession();
  EXPECT_EQ(logLines().size(), 1);
  Diagnostics::endSession();
  Diagnostics::endSession(); // a missing marker is no error
}

TEST_F(DiagnosticsTest, exportWithoutLogHasAllFixedLinesAndTheNoRecordLine) {
  const QStringList lines = Diagnostics::exportText().split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 16);
  EXPECT_EQ(lines[0], QStringLiteral("Pindle 诊断信息"));
  EXPECT_TRUE(lines[1].startsWith(QStringLiteral("版本: ")));
  EXPECT_TRUE(lines[2].startsWith(QStringLiteral("Bundle: ")));
  utsname names{};
  ASSERT_EQ(::uname(&names), 0);
  EXPECT_EQ(lines[3], QStringLiteral("系统: Linux %1 %2").arg(QString::fromLocal8Bit(names.release),
                                                                 QString::fromLocal8Bit(names.machine)));
  EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(^时间: \d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ$)"))
                  .match(lines[4])
                  .hasMatch());
  EXPECT_EQ(lines.mid(5, 4), (QStringList{QString(), QStringLiteral("— 缓存 —"),
                                          QStringLiteral("基础文件: 0 bytes"),
                                          QStringLiteral("增量日志: 0 bytes")}));
  EXPECT_EQ(lines[9], QStringLiteral("墓碑文件: 0 bytes"));
  EXPECT_EQ(lines.mid(10, 2), (QStringList{QString(), QStringLiteral("— 内存 —")}));
  EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(^当前常驻: \d+ MB$)")).match(lines[12]).hasMatch());
  EXPECT_EQ(lines.mid(13), (QStringList{QString(), QStringLiteral("— 最近日志 —"),
                                        QStringLiteral("（暂无记录）")}));
}

TEST_F(DiagnosticsTest, exportKeepsTheLast200LinesAndReportsCacheSizes) {
  for (int i = 0; i < 250; ++i) {
    Diagnostics::log(QStringLiteral("qa"), QStringLiteral("line %1").arg(i));
  }
  QFile cache(Diagnostics::directory() + QStringLiteral("/analysis-cache.bin"));
  ASSERT_TRUE(cache.open(QIODevice::WriteOnly));
  cache.write(QByteArray(2500, 'c'));
  cache.close();

  const QString text = Diagnostics::exportText();
  EXPECT_FALSE(text.endsWith(QLatin1Char('\n')));
  const QStringList lines = text.split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 15 + 200);
  EXPECT_EQ(lines[7], QStringLiteral("基础文件: 2.5 kB"));
  EXPECT_EQ(messageOf(lines[15]), QStringLiteral("line 50"));
  EXPECT_EQ(messageOf(lines.last()), QStringLiteral("line 249"));
  cache.remove();
}

TEST_F(DiagnosticsTest, exportReplacesBytesOfACharacterCutByTrimming) {
  QFile file(logPath());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QStringLiteral("照片\n").toUtf8().mid(1)); // starts inside the first character
  file.close();
  const QStringList lines = Diagnostics::exportText().split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 16);
  EXPECT_TRUE(lines.last().endsWith(QStringLiteral("片")));
}

TEST_F(DiagnosticsTest, concurrentLoggersNeverInterleaveLines) {
  constexpr int kThreads = 8;
  constexpr int kLinesEach = 200;
  {
    std::vector<std::jthread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([t] {
        for (int i = 0; i < kLinesEach; ++i) {
          Diagnostics::log(QStringLiteral("scan"), QStringLiteral("worker %1 line %2").arg(t).arg(i));
        }
      });
    }
  }
  const QStringList lines = logLines();
  ASSERT_EQ(lines.size(), kThreads * kLinesEach);
  const QRegularExpression shape(QStringLiteral(R"(^\[[^\]]+\] \[scan\] worker \d line \d+$)"));
  for (const QString &line : lines) {
    ASSERT_TRUE(shape.match(line).hasMatch()) << line.toStdString();
  }
}
