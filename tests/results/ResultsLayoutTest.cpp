#include "app/results/ResultsLayout.h"

#include <gtest/gtest.h>

using lumora::ResultsLayout;

namespace {

// Three months of 5, 1 and 7 groups, cards 100 tall, a viewport giving two columns.
ResultsLayout threeMonths() {
  ResultsLayout layout;
  layout.setCardHeight(100);
  layout.setViewportWidth(618 + 44);
  layout.setSections({5, 1, 7}, true);
  return layout;
}

} // namespace

TEST(ResultsLayout, columnsFollowTheWidthRule) {
  EXPECT_EQ(ResultsLayout::columnCount(0), 1);
  EXPECT_EQ(ResultsLayout::columnCount(-5), 1);
  EXPECT_EQ(ResultsLayout::columnCount(299), 1);
  EXPECT_EQ(ResultsLayout::columnCount(300), 1);
  EXPECT_EQ(ResultsLayout::columnCount(617), 1);
  EXPECT_EQ(ResultsLayout::columnCount(618), 2);
  EXPECT_EQ(ResultsLayout::columnCount(936), 3);
  EXPECT_EQ(ResultsLayout::columnCount(std::numeric_limits<double>::quiet_NaN()), 1);
}

TEST(ResultsLayout, sectionTopsArePrefixSums) {
  const ResultsLayout layout = threeMonths();
  ASSERT_EQ(layout.columns(), 2);
  EXPECT_EQ(layout.gridWidth(), 618);
  // Anchor 20, spacing 18, header 36; block = 10 + rows + 8.
  EXPECT_EQ(layout.headerTop(0), 38);
  EXPECT_EQ(layout.gridTop(0), 74);
  EXPECT_EQ(layout.blockBottom(0), 74 + 10 + 3 * 100 + 2 * 18 + 8);
  EXPECT_EQ(layout.headerTop(1), layout.blockBottom(0) + 18);
  EXPECT_EQ(layout.blockBottom(1), layout.gridTop(1) + 10 + 100 + 8);
  EXPECT_EQ(layout.contentHeight(), layout.blockBottom(2));
  const QRect second = layout.cardRect(0, 1);
  EXPECT_EQ(layout.cardRect(0, 0).left(), 20);
  EXPECT_EQ(second.right() + 1, 20 + 618);
  EXPECT_EQ(second.left() - layout.cardRect(0, 0).right() - 1, 18);
  EXPECT_EQ(layout.cardRect(0, 2).top(), 84 + 118);
}

TEST(ResultsLayout, memberCountLayoutHasItsAnchorAboveTheGrid) {
  ResultsLayout layout;
  layout.setCardHeight(100);
  layout.setViewportWidth(1000);
  layout.setSections({4}, false);
  EXPECT_EQ(layout.gridWidth(), 1000 - 44);
  EXPECT_EQ(layout.columns(), 3);
  EXPECT_EQ(layout.cardRect(0, 0).topLeft(), QPoint(20, 20)); // first card in the first cell
  EXPECT_EQ(layout.contentHeight(), 20 + 100 + 18 + 100 + 20);
  EXPECT_FALSE(layout.pinnedSection(5000));
}

TEST(ResultsLayout, currentAndPinnedMonthsByScrollPosition) {
  const ResultsLayout layout = threeMonths();
  EXPECT_EQ(layout.currentSection(0), 0u); // nothing reached: the first
  EXPECT_FALSE(layout.pinnedSection(0));   // none at the very top
  EXPECT_EQ(layout.pinnedSection(layout.headerTop(0) - 1), 0u);
  EXPECT_FALSE(layout.pinnedSection(layout.headerTop(0) - 2));
  const int month2 = layout.headerTop(1);
  // A month's header brought to the top makes it both current and pinned.
  EXPECT_EQ(layout.currentSection(month2), 1u);
  EXPECT_EQ(layout.pinnedSection(month2), 1u);
  EXPECT_EQ(layout.currentSection(layout.gridTop(2) - 40), 2u);
  EXPECT_EQ(layout.currentSection(layout.gridTop(2) - 41), 1u);
  EXPECT_EQ(layout.currentSection(1 << 28), 2u);
  EXPECT_EQ(layout.sectionScrollTarget(1, 300), month2);
  EXPECT_EQ(layout.sectionScrollTarget(2, 10000), 0); // clamped to what can scroll
}

TEST(ResultsLayout, placementsCoverOnlyTheBand) {
  ResultsLayout layout;
  layout.setCardHeight(200);
  layout.setViewportWidth(1000);
  std::vector<std::size_t> months(200, 50); // 10,000 groups in 200 months
  layout.setSections(months, true);
  for (const int top : {0, layout.contentHeight() / 2, layout.contentHeight() - 800}) {
    const auto placed = layout.placementsIn(top, top + 800);
    ASSERT_FALSE(placed.empty());
    EXPECT_LE(placed.size(), 3u * 6u);
    for (const auto &p : placed) {
      EXPECT_GT(p.rect.bottom(), top);
      EXPECT_LT(p.rect.top(), top + 800);
    }
  }
  EXPECT_TRUE(layout.placementsIn(layout.contentHeight(), layout.contentHeight() + 50).empty());
}

TEST(ResultsLayout, noGroupsLeaveOnlyTheAnchor) {
  ResultsLayout layout;
  layout.setViewportWidth(800);
  layout.setSections({}, true);
  EXPECT_EQ(layout.contentHeight(), 20);
  EXPECT_FALSE(layout.currentSection(0));
  EXPECT_TRUE(layout.placementsIn(0, 1000).empty());
}
