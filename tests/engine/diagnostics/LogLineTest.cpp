#include "engine/diagnostics/LogLine.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace lumora;

namespace {

QString stampOf(std::int64_t seconds) {
  char buffer[logline::kTimestampLength];
  logline::formatTimestamp(seconds, buffer);
  return QString::fromLatin1(buffer, static_cast<qsizetype>(logline::kTimestampLength));
}

} // namespace

TEST(LogLine, timestampMatchesIsoDateTimeAcrossLeapDaysAndCenturies) {
  // The signal-safe formatter must agree with Qt's calendar everywhere a clock can point.
  const std::int64_t instants[] = {0,          951782400,  951868799, 1709251199,
                                   1798551986, 4107542400, 4102444799, 253402300799};
  for (const std::int64_t seconds : instants) {
    const QString expected =
        QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(Qt::ISODate);
    EXPECT_EQ(stampOf(seconds), expected) << seconds;
  }
  EXPECT_EQ(stampOf(1796564786), QStringLiteral("2026-12-06T13:46:26Z"));
}

TEST(LogLine, lineHasBracketedTimeAndCategoryAndEndsWithOneLineFeed) {
  const QByteArray line = logline::build(QStringLiteral("scan"), QStringLiteral("已扫描 3 张"),
                                         1796564786);
  EXPECT_EQ(line, QStringLiteral("[2026-12-06T13:46:26Z] [scan] 已扫描 3 张\n").toUtf8());
}

TEST(LogLine, lineBreaksInMessageOrCategoryCannotForgeAnotherLine) {
  const QString forged = QStringLiteral("a.jpg\n[2026-01-01T00:00:00Z] [crash] fake");
  const QByteArray line = logline::build(QStringLiteral("photo\r"), forged, 0);
  EXPECT_EQ(line.count('\n'), 1);
  EXPECT_TRUE(line.endsWith('\n'));
  EXPECT_EQ(line, QByteArray("[1970-01-01T00:00:00Z] [photo\\r] a.jpg\\n[2026-01-01T00:00:00Z] "
                             "[crash] fake\n"));

  const QString unicodeBreaks = QString(QChar(0x2028)) + QChar(0x2029) + QChar(0x0085) +
                                QLatin1Char('\v') + QLatin1Char('\f');
  EXPECT_EQ(logline::escaped(unicodeBreaks), QStringLiteral("\\u2028\\u2029\\u0085\\v\\f"));
}

TEST(LogLine, backslashIsDoubledSoEscapesStayUnambiguous) {
  // A file literally named "a\nb" must not read like one holding a line feed.
  EXPECT_EQ(logline::escaped(QStringLiteral("a\\nb")), QStringLiteral("a\\\\nb"));
  EXPECT_EQ(logline::escaped(QStringLiteral("a\nb")), QStringLiteral("a\\nb"));
  EXPECT_EQ(logline::escaped(QStringLiteral("plain 文字\t")), QStringLiteral("plain 文字\t"));
}
