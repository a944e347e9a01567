#include "app/store/texts/Fmt.h"
#include "app/store/texts/Localized.h"
#include "app/store/texts/MonthKey.h"
#include "app/store/texts/ScoreDisplay.h"

#include <QDateTime>
#include <QLocale>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

using namespace lumora;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class FmtTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { ASSERT_TRUE(localized::installTranslations()); }
};

Date localDate(int year, int month, int day, int hour = 12, int minute = 0, int second = 0) {
  const QDateTime local(QDate(year, month, day), QTime(hour, minute, second));
  return Date::fromSeconds(static_cast<double>(local.toSecsSinceEpoch()));
}

} // namespace

TEST_F(FmtTest, durationRoundsToWholeSecondsAndPicksTheLargestUnit) {
  const std::vector<std::pair<double, QString>> cases = {
      {-5, "几秒"},
      {0, "几秒"},
      {kInf, "几秒"},
      {kNaN, "几秒"},
      {0.4, "1 秒"},
      {1.49, "1 秒"},
      {1.5, "2 秒"},
      {59.4, "59 秒"},
      {59.5, "1 分钟"},
      {61, "1 分 1 秒"},
      {3599, "59 分 59 秒"},
      {3600, "1 小时"},
      {7199, "1 小时"},
      {7200, "2 小时"},
      {1e300, "2562047788015215 小时"}, // clamped to the 64-bit range, not undefined
  };
  for (const auto &[seconds, text] : cases) {
    EXPECT_EQ(Fmt::duration(seconds), text) << seconds;
  }
}

TEST_F(FmtTest, timingsAndPercentagesAtTheirEdges) {
  EXPECT_EQ(Fmt::msPerPhoto(std::nullopt), QStringLiteral("—"));
  for (double none : {0.0, -3.0, kInf, kNaN}) {
    EXPECT_EQ(Fmt::msPerPhoto(none), QStringLiteral("—")) << none;
  }
  EXPECT_EQ(Fmt::msPerPhoto(9.94), QStringLiteral("9.9"));
  EXPECT_EQ(Fmt::msPerPhoto(9.96), QStringLiteral("10.0"));
  EXPECT_EQ(Fmt::msPerPhoto(10), QStringLiteral("10"));
  EXPECT_EQ(Fmt::msPerPhoto(123.6), QStringLiteral("124"));

  EXPECT_EQ(Fmt::percent(42.5), QStringLiteral("43%"));
  EXPECT_EQ(Fmt::percent(-0.5), QStringLiteral("-1%"));
  EXPECT_EQ(Fmt::percent(kNaN), QStringLiteral("0%"));
  EXPECT_EQ(Fmt::percent(1e300), QStringLiteral("9223372036854775807%"));
}

TEST_F(FmtTest, numberGroupsDigitsInTheCurrentLocale) {
  const QLocale saved;
  QLocale::setDefault(QLocale::c()); // the C locale would omit grouping on its own
  EXPECT_EQ(Fmt::number(1234567), QStringLiteral("1,234,567"));
  EXPECT_EQ(Fmt::number(-999), QStringLiteral("-999"));
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(Fmt::number(1234567), QStringLiteral("1.234.567"));
  QLocale::setDefault(saved);
}

TEST_F(FmtTest, datesUseTheChinesePatternsInLocalTime) {
  EXPECT_EQ(Fmt::mediumDate(localDate(2024, 3, 5, 14, 7, 30)), QStringLiteral("2024年3月5日"));
  EXPECT_EQ(Fmt::mediumDateTime(localDate(2024, 10, 15, 9, 5)),
            QStringLiteral("2024年10月15日 09:05"));
  EXPECT_EQ(MonthKey::key(localDate(2025, 1, 31, 23, 59, 59)), QStringLiteral("2025-1"));
  EXPECT_EQ(MonthKey::key(localDate(2025, 12, 1, 0, 0, 0)), QStringLiteral("2025-12"));
  EXPECT_EQ(MonthKey::title(localDate(2024, 3, 1, 0, 0, 0)), QStringLiteral("2024年3月"));
}

TEST_F(FmtTest, datesWithNoPlaceInTimeNeverMisbehave) {
  for (double seconds : {kNaN, kInf, -kInf}) {
    EXPECT_EQ(MonthKey::key(Date::fromSeconds(seconds)), QStringLiteral("1970-1"));
    EXPECT_EQ(MonthKey::title(Date::fromSeconds(seconds)), QStringLiteral("1970年1月"));
    EXPECT_EQ(Fmt::mediumDateTime(Date::fromSeconds(seconds)), QString());
  }
  // Absurdly distant dates are clamped to the ends of the representable range.
  EXPECT_TRUE(MonthKey::key(Date::fromSeconds(1e300)).startsWith(QStringLiteral("292278994-")));
  EXPECT_TRUE(MonthKey::key(Date::fromSeconds(-1e300)).startsWith(QStringLiteral("-292275056-")));
}

TEST_F(FmtTest, roundedScoreTextRoundsHalfAwayAndSurvivesDamagedScores) {
  const std::vector<std::pair<float, QString>> cases = {
      {-1.0f, "0"},
      {0.0f, "5"},
      {0.5f, "8"},
      {1.0f, "10"},
      {std::numeric_limits<float>::quiet_NaN(), "0"},
      {std::numeric_limits<float>::infinity(), "9223372036854775807"},
  };
  for (const auto &[score, text] : cases) {
    PhotoItem item;
    item.score = score;
    EXPECT_EQ(scoredisplay::roundedScoreText(item), text) << score;
  }
}

TEST_F(FmtTest, byteCountUsesDecimalUnitsAndReadsNegativeAsZero) {
  const std::vector<std::pair<std::int64_t, QString>> cases = {
      {-1, "0 字节"},
      {std::numeric_limits<std::int64_t>::min(), "0 字节"},
      {0, "0 字节"},
      {999, "999 字节"},
      {1000, "1 KB"},
      {1499, "1 KB"},
      {999'499, "999 KB"},
      {999'500, "1 MB"}, // would read "1000 KB"
      {1'000'000, "1 MB"},
      {1'550'000, "1.6 MB"},
      {12'345'678, "12.3 MB"},
      {1'200'000'000, "1.2 GB"},
      {1'234'567'890, "1.23 GB"},
      {std::numeric_limits<std::int64_t>::max(), "9.22 EB"},
  };
  for (const auto &[bytes, text] : cases) {
    EXPECT_EQ(Fmt::byteCount(bytes), text) << bytes;
  }
}
