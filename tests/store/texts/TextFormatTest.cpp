#include "app/store/texts/TextFormat.h"

#include <gtest/gtest.h>
#include <limits>

using lumora::textformat::fill;

TEST(TextFormat, fillsEachPlaceholderKindInOnePass) {
  EXPECT_EQ(fill(u"%d 分 %d 秒", {1, 59}), QStringLiteral("1 分 59 秒"));
  EXPECT_EQ(fill(u"阈值 %.2f", {0.3}), QStringLiteral("阈值 0.30"));
  EXPECT_EQ(fill(u"高约 %d%%", {42}), QStringLiteral("高约 42%"));
  EXPECT_EQ(fill(u"📷 %@ / %@", {QStringLiteral("56"), 120}), QStringLiteral("📷 56 / 120"));
  // A file name full of printf syntax comes out exactly as it went in.
  const QString name = QStringLiteral("100%d %@ %.1f %%.jpg");
  EXPECT_EQ(fill(u"%@（%d）", {name, 3}), name + QStringLiteral("（3）"));
}

TEST(TextFormat, decimalsIgnoreTheLocaleAndRoundLikePrintf) {
  EXPECT_EQ(fill(u"%.1f", {9.96}), QStringLiteral("10.0"));
  EXPECT_EQ(fill(u"%.1f", {0.25}), QStringLiteral("0.2")); // an exact tie goes to even
  EXPECT_EQ(fill(u"%.0f", {123.6}), QStringLiteral("124"));
  EXPECT_EQ(fill(u"%.2f", {1e308}).size(), 309 + 3);
  // Values of another kind than the placeholder still read sensibly.
  EXPECT_EQ(fill(u"%d", {2.9}), QStringLiteral("2"));
  EXPECT_EQ(fill(u"%d", {std::numeric_limits<double>::quiet_NaN()}), QStringLiteral("0"));
  EXPECT_EQ(fill(u"%d", {1e300}), QStringLiteral("9223372036854775807"));
  EXPECT_EQ(fill(u"%d", {std::numeric_limits<std::uint64_t>::max()}),
            QStringLiteral("9223372036854775807"));
  EXPECT_EQ(fill(u"%.1f", {3}), QStringLiteral("3.0"));
  EXPECT_EQ(fill(u"%d 张", {QStringLiteral("几")}), QStringLiteral("几 张"));
}

TEST(TextFormat, malformedFormatsAreCopiedNotCrashed) {
  EXPECT_EQ(fill(u"100%", {1}), QStringLiteral("100%"));
  EXPECT_EQ(fill(u"%s %x %ld %.f %.123f %.٣f", {1, 2, 3}),
            QStringLiteral("%s %x %ld %.f %.123f %.٣f"));
  // Placeholders without a value stay visible; surplus values are ignored.
  EXPECT_EQ(fill(u"%d 分 %d 秒", {5}), QStringLiteral("5 分 %d 秒"));
  EXPECT_EQ(fill(u"%@%", {}), QStringLiteral("%@%"));
  EXPECT_EQ(fill(u"无占位", {1, 2.0, QStringLiteral("x")}), QStringLiteral("无占位"));
}
