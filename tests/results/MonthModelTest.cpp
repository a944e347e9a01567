#include "app/results/MonthHudModel.h"
#include "app/results/MonthSection.h"
#include "app/store/texts/MonthKey.h"
#include "tests/results/support/GridFixture.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace lumora;
using gridtest::datedGroup;
using gridtest::monthStart;

TEST(MonthSection, bucketsInFirstSeenOrderWithTheFirstGroupsTitle) {
  const std::vector<PhotoGroup> groups = {
      datedGroup("a", monthStart(2025, 1) + 86400), datedGroup("b", monthStart(2024, 12) + 5),
      datedGroup("c", monthStart(2025, 1) + 172800), datedGroup("d", monthStart(2024, 11)),
      datedGroup("e", monthStart(2024, 12) + 99)};
  const auto sections = MonthSection::make(groups);
  ASSERT_EQ(sections.size(), 3u);
  EXPECT_EQ(sections[0].id, "2025-1");
  EXPECT_EQ(sections[1].id, "2024-12");
  EXPECT_EQ(sections[2].id, "2024-11");
  EXPECT_EQ(sections[0].groups, (std::vector<std::size_t>{0, 2}));
  EXPECT_EQ(sections[1].groups, (std::vector<std::size_t>{1, 4}));
  EXPECT_EQ(sections[0].title, MonthKey::title(Date{monthStart(2025, 1) + 86400}));
  EXPECT_TRUE(MonthSection::make({}).empty());
}

TEST(MonthSection, undatedGroupsFileUnderJanuary1970) {
  const auto sections =
      MonthSection::make({datedGroup("x", std::numeric_limits<double>::quiet_NaN())});
  ASSERT_EQ(sections.size(), 1u);
  EXPECT_EQ(sections[0].id, "1970-1");
}

TEST(MonthHudModel, firstReportIsSilentThenShowsAndHidesAfterTheLast) {
  MonthHudModel hud;
  hud.noteScroll("2024-5", "2024年5月");
  EXPECT_EQ(hud.currentMonthID(), "2024-5");
  EXPECT_EQ(hud.currentTitle(), "2024年5月");
  EXPECT_FALSE(hud.showHUD());
  hud.noteScroll("2024-5", "other title");
  EXPECT_TRUE(hud.showHUD());
  EXPECT_EQ(hud.currentTitle(), "2024年5月"); // same month: title kept
  gridtest::spin(100);
  QElapsedTimer sinceLast;
  sinceLast.start();
  hud.noteScroll("2024-4", "2024年4月"); // restarts the 0.6 s
  EXPECT_TRUE(hud.showHUD());
  EXPECT_TRUE(gridtest::waitFor([&] { return !hud.showHUD(); }));
  // Hidden about 0.6 s after the last report (a coarse timer may fire 5 % early), not 0.5 s
  // after it as the first report's time would have it; a busy machine can only make it later.
  EXPECT_GE(sinceLast.elapsed(), 550);
  EXPECT_EQ(hud.currentMonthID(), "2024-4");
}
