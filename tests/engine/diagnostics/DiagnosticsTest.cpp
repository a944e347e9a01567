#include "engine/diagnostics/Diagnostics.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/utsname.h>
#include <thread>
#include <vector>

using namespace lumora;

namespace {

QString markerPath() { return Diagnostics::directory() + QStringLiteral("/session.running"); }

QStringList logLines() {
  QFile file(Diagnostics::logURL().toLocalFile());
  if (!file.open(QIODevice::ReadOnly)) {
    return {};
  }
  return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// What follows "[time] [category] ".
QString messageOf(const QString &line) { return line.section(QStringLiteral("] "), 2); }

bool matches(const QString &pattern, const QString &text) {
  return QRegularExpression(pattern).match(text).hasMatch();
}

class DiagnosticsTest : public ::testing::Test {
protected:
  void SetUp() override {
    Diagnostics::clear();
    QFile::remove(markerPath());
  }
};

} // namespace

TEST_F(DiagnosticsTest, linesCarryTimeCategoryAndRoundedUnitsAndClearStartsAfresh) {
  Diagnostics::log(QStringLiteral("ui"), QStringLiteral("two\nlines"));
  Diagnostics::logTiming(QStringLiteral("cache-load(12 entries)"), 0.0866);
  Diagnostics::logMemory(QStringLiteral("after-enumerate"));
  const QStringList lines = logLines();
  ASSERT_EQ(lines.size(), 3);
  EXPECT_TRUE(matches(QStringLiteral(R"(^\[\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ\] \[ui\] two\\nlines$)"),
                      lines[0]));
  EXPECT_TRUE(lines[1].endsWith(QStringLiteral("] [perf] cache-load(12 entries): 87 ms")));
  EXPECT_TRUE(matches(QStringLiteral(R"(\] \[mem\] after-enumerate: [1-9]\d* MB$)"), lines[2]));

  Diagnostics::clear();
  EXPECT_TRUE(logLines().isEmpty());
  Diagnostics::log(QStringLiteral("app"), QStringLiteral("again"));
  EXPECT_EQ(logLines().size(), 1);
}

TEST_F(DiagnosticsTest, sessionMarkerDetectsOneUncleanExit) {
  Diagnostics::beginSession();
  EXPECT_TRUE(logLines().isEmpty()) << "a first start is not an unclean exit";
  QFile marker(markerPath());
  ASSERT_TRUE(marker.open(QIODevice::ReadOnly));
  EXPECT_EQ(marker.readAll(), QByteArray("running"));

  // The run "crashes": the marker stays, and the next start reports it once.
  Diagnostics::beginSession();
  ASSERT_EQ(logLines().size(), 1);
  EXPECT_EQ(messageOf(logLines()[0]), QStringLiteral("⚠️ unclean previous exit detected"));
  EXPECT_TRUE(logLines()[0].contains(QStringLiteral("] [app] ")));

  Diagnostics::endSession();
  EXPECT_FALSE(QFile::exists(markerPath()));
  Diagnostics::beginSession();
  Diagnostics::endSession();
  EXPECT_EQ(logLines().size(), 1);
}

TEST_F(DiagnosticsTest, aFolderAtTheMarkerIsReplacedOrMovedAsideOnceAndIsNoUncleanExit) {
  const std::filesystem::path marker = QFile::encodeName(markerPath()).toStdString();
  std::filesystem::create_directories(marker);
  Diagnostics::beginSession();
  EXPECT_TRUE(std::filesystem::is_regular_file(marker));
  ASSERT_EQ(logLines().size(), 1);
  EXPECT_EQ(messageOf(logLines().last()),
            QStringLiteral("session.running was a folder; replaced by a new file"));

  // A folder holding a file is kept whole beside the marker; the next starts, after clean
  // exits, say nothing more.
  std::filesystem::remove(marker);
  std::filesystem::create_directories(marker / "kept");
  Diagnostics::beginSession();
  const std::filesystem::path aside = marker.string() + ".aside-1";
  EXPECT_TRUE(std::filesystem::is_directory(aside / "kept"));
  EXPECT_TRUE(std::filesystem::is_regular_file(marker));
  ASSERT_EQ(logLines().size(), 2);
  EXPECT_EQ(messageOf(logLines().last()),
            QStringLiteral("session.running was a folder; moved aside whole as "
                           "session.running.aside-1, replaced by a new file"));
  for (int run = 0; run < 3; ++run) {
    Diagnostics::endSession();
    Diagnostics::beginSession();
  }
  EXPECT_EQ(logLines().size(), 2);
  EXPECT_FALSE(logLines().join(QLatin1Char('\n')).contains(QStringLiteral("unclean")));
  std::filesystem::remove_all(aside);
}

TEST_F(DiagnosticsTest, aLogPlantedAsZerosGivesNoNulByteToTheLogOrTheExport) {
  ASSERT_TRUE(QDir().mkpath(Diagnostics::directory()));
  {
    QFile log(Diagnostics::logURL().toLocalFile());
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    log.write(QByteArray(600 * 1024, '\0'));
  }
  EXPECT_TRUE(Diagnostics::exportText().endsWith(QStringLiteral("— 最近日志 —")));
  Diagnostics::log(QStringLiteral("qa"), QStringLiteral("after the zeros")); // trims the file
  QFile log(Diagnostics::logURL().toLocalFile());
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  EXPECT_FALSE(log.readAll().contains('\0'));
  {
    QFile planted(Diagnostics::logURL().toLocalFile());
    ASSERT_TRUE(planted.open(QIODevice::Append));
    planted.write(QByteArray(4096, '\0') + "tail\n");
  }
  const QString text = Diagnostics::exportText();
  EXPECT_FALSE(text.contains(QChar(0)));
  EXPECT_TRUE(text.endsWith(QStringLiteral("after the zeros\ntail")));
}

TEST_F(DiagnosticsTest, exportWithoutLogHasEveryFixedLineAndTheNoRecordLine) {
  const QStringList lines = Diagnostics::exportText().split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 16);
  utsname names{};
  ASSERT_EQ(::uname(&names), 0);
  const QString system = QStringLiteral("系统: Linux ") + QString::fromLocal8Bit(names.release) +
                         QLatin1Char(' ') + QString::fromLocal8Bit(names.machine);
  EXPECT_EQ(lines.mid(0, 1), QStringList{QStringLiteral("Pindle 诊断信息")});
  EXPECT_TRUE(matches(QStringLiteral("^版本: .+ \\(.+\\)$"), lines[1]));
  // The build number comes from the application, which sets it at start-up.
  Diagnostics::setBuildVersion(QStringLiteral("42"));
  EXPECT_TRUE(
      Diagnostics::exportText().section(QLatin1Char('\n'), 1, 1).endsWith(QStringLiteral(" (42)")));
  Diagnostics::setBuildVersion(QString());
  // So does the identifier; the engine cannot read it on its own.
  EXPECT_EQ(lines[2], QStringLiteral("Bundle: ?"));
  Diagnostics::setApplicationIdentifier(QStringLiteral("com.example.Test"));
  EXPECT_EQ(Diagnostics::exportText().section(QLatin1Char('\n'), 2, 2),
            QStringLiteral("Bundle: com.example.Test"));
  Diagnostics::setApplicationIdentifier(QString());
  EXPECT_EQ(lines[3], system);
  EXPECT_TRUE(matches(QStringLiteral(R"(^时间: \d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ$)"), lines[4]));
  EXPECT_EQ(lines.mid(5, 7),
            (QStringList{QString(), QStringLiteral("— 缓存 —"), QStringLiteral("基础文件: 0 bytes"),
                         QStringLiteral("增量日志: 0 bytes"), QStringLiteral("墓碑文件: 0 bytes"),
                         QString(), QStringLiteral("— 内存 —")}));
  EXPECT_TRUE(matches(QStringLiteral(R"(^当前常驻: [1-9]\d* MB$)"), lines[12]));
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
  cache.remove();
  EXPECT_FALSE(text.endsWith(QLatin1Char('\n')));
  const QStringList lines = text.split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 15 + 200);
  EXPECT_EQ(lines[7], QStringLiteral("基础文件: 2.5 kB"));
  EXPECT_EQ(messageOf(lines[15]), QStringLiteral("line 50"));
  EXPECT_EQ(messageOf(lines.last()), QStringLiteral("line 249"));
}

TEST_F(DiagnosticsTest, concurrentLoggersNeverInterleaveLines) {
  constexpr int kThreads = 8;
  constexpr int kLinesEach = 200;
  {
    std::vector<std::jthread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([t] {
        for (int i = 0; i < kLinesEach; ++i) {
          Diagnostics::log(QStringLiteral("scan"),
                           QStringLiteral("worker %1 line %2").arg(t).arg(i));
        }
      });
    }
  }
  const QStringList lines = logLines();
  ASSERT_EQ(lines.size(), kThreads * kLinesEach);
  for (const QString &line : lines) {
    ASSERT_TRUE(matches(QStringLiteral(R"(^\[[^\]]+\] \[scan\] worker \d line \d+$)"), line))
        << line.toStdString();
  }
}
