#include "engine/diagnostics/LogLine.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace lumora;

TEST(LogLine, signalSafeTimestampAgreesWithQtAcrossLeapDaysAndCenturies) {
  const std::int64_t instants[] = {0,          951868799,  1709251199,  1796564786,
                                   4102444799, 4107542400, 253402300799};
  for (const std::int64_t seconds : instants) {
    char stamp[logline::kTimestampLength];
    logline::formatTimestamp(seconds, stamp);
    EXPECT_EQ(QString::fromLatin1(stamp, sizeof(stamp)),
              QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(Qt::ISODate));
  }
}

TEST(LogLine, lineBreaksInMessageOrCategoryCannotForgeAnotherLine) {
  const QString forged = QStringLiteral("a.jpg\n[2026-01-01T00:00:00Z] [crash] fake");
  EXPECT_EQ(logline::build(QStringLiteral("photo\r"), forged, 1796564786),
            QByteArray("[2026-12-06T13:46:26Z] [photo\\r] a.jpg\\n[2026-01-01T00:00:00Z] "
                       "[crash] fake\n"));
  const QString unicodeBreaks = QString(QChar(0x2028)) + QChar(0x2029) + QChar(0x0085) +
                                QLatin1Char('\v') + QLatin1Char('\f');
  EXPECT_EQ(logline::escaped(unicodeBreaks), QStringLiteral("\\u2028\\u2029\\u0085\\v\\f"));
  // A file literally named "a\nb" must not read like one holding a line feed.
  EXPECT_EQ(logline::escaped(QStringLiteral("a\\nb")), QStringLiteral("a\\\\nb"));
  EXPECT_EQ(logline::escaped(QStringLiteral("照片\t")), QStringLiteral("照片\t"));
}
