#include "app/store/state/GroupSelection.h"

#include "tests/store/support/StoreTestSupport.h"

#include <gtest/gtest.h>
#include <limits>

using namespace lumora;
using namespace storetest;
using IdSet = GroupSelection::IdSet;

namespace {

class GroupSelectionTest : public ::testing::Test {
protected:
  // Five groups of two, g0- … g4-, whose ids are g0-0 … g4-0.
  std::vector<PhotoGroup> list = groups(5);
  GroupSelection selection;

  [[nodiscard]] const std::string &id(int index) const {
    return list[static_cast<std::size_t>(index)].id;
  }
  [[nodiscard]] IdSet ids(std::initializer_list<int> indices) const {
    IdSet set;
    for (const int index : indices) {
      set.insert(id(index));
    }
    return set;
  }
  [[nodiscard]] int focused() const {
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (selection.focusedGroupID() == list[i].id) {
        return static_cast<int>(i);
      }
    }
    return -1;
  }
};

} // namespace

TEST_F(GroupSelectionTest, shiftRangesRunEitherWayFromAFixedAnchorAndElseToggle) {
  selection.enter(list);
  ASSERT_TRUE(selection.isSelecting());
  selection.tapped(list, id(3), true); // no anchor yet: a toggle that anchors
  EXPECT_EQ(selection.selectedGroupIDs(), ids({3}));
  selection.tapped(list, id(1), true);
  EXPECT_EQ(selection.selectedGroupIDs(), ids({1, 2, 3}));
  selection.toggle(id(2));
  selection.tapped(list, id(4), true); // from the new anchor, adding only
  EXPECT_EQ(selection.selectedGroupIDs(), ids({1, 2, 3, 4}));
  EXPECT_EQ(selection.anchorID(), id(2));

  // An anchor that is no longer shown, or a click without shift, toggles the clicked group.
  selection.setAnchorID(std::string("gone"));
  selection.tapped(list, id(0), true);
  EXPECT_EQ(selection.selectedGroupIDs(), ids({0, 1, 2, 3, 4}));
  selection.tapped(list, id(0), false);
  EXPECT_EQ(selection.selectedGroupIDs(), ids({1, 2, 3, 4}));
  EXPECT_EQ(selection.anchorID(), id(0));
}

TEST_F(GroupSelectionTest, theModeGuardsEveryChangeAndExitForgetsTheAnchor) {
  selection.enter({});
  selection.toggle(id(0));
  selection.selectAll(list);
  selection.tapped(list, id(1), false);
  EXPECT_FALSE(selection.isSelecting());
  EXPECT_TRUE(selection.selectedGroupIDs().empty());
  EXPECT_FALSE(selection.anchorID());

  selection.setAnchorID(id(1));
  selection.enter(list);
  selection.selectAll(list);
  EXPECT_EQ(selection.selectedGroupIDs().size(), 5u);
  EXPECT_EQ(selection.anchorID(), id(4));
  selection.enter(list); // already selecting: the selection stays
  EXPECT_EQ(selection.selectedGroupIDs().size(), 5u);
  selection.exit();
  EXPECT_TRUE(selection.selectedGroupIDs().empty());
  EXPECT_FALSE(selection.anchorID());
}

TEST_F(GroupSelectionTest, aRegroupKeepsOnlyShownGroupsAndEndsTheModeWhenNoneIsLeft) {
  selection.enter(list);
  selection.selectAll(list);
  selection.retainShown({list[1], list[3], group("new", 2)});
  EXPECT_EQ(selection.selectedGroupIDs(), ids({1, 3}));
  EXPECT_TRUE(selection.isSelecting());
  selection.retainShown({});
  EXPECT_FALSE(selection.isSelecting());
  EXPECT_TRUE(selection.selectedGroupIDs().empty());
  EXPECT_EQ(selection.anchorID(), id(4));
}

TEST_F(GroupSelectionTest, settersSignalOnceAndExitSignalsTheModeBeforeTheIds) {
  selection.enter(list);
  selection.selectAll(list);
  std::vector<std::string> seen;
  QObject::connect(&selection, &GroupSelection::isSelectingChanged, [&] {
    seen.push_back("mode, " + std::to_string(selection.selectedGroupIDs().size()) + " selected");
  });
  QObject::connect(&selection, &GroupSelection::selectedGroupIDsChanged,
                   [&] { seen.emplace_back("ids"); });
  selection.exit();
  selection.exit();
  EXPECT_EQ(seen, (std::vector<std::string>{"mode, 5 selected", "ids"}));

  SignalCounter focus(&selection, &GroupSelection::focusedGroupIDChanged);
  SignalCounter confirm(&selection, &GroupSelection::isBatchConfirmPresentedChanged);
  SignalCounter cleaning(&selection, &GroupSelection::isCleaningChanged);
  selection.focusLast(list);
  selection.focusLast(list);
  selection.setIsBatchConfirmPresented(true);
  selection.setIsBatchConfirmPresented(true);
  selection.setIsCleaning(false);
  EXPECT_EQ(focus.count() + confirm.count() + cleaning.count(), 2);
}

TEST_F(GroupSelectionTest, sumsFollowGroupOrderAndCleanupNeedsAllFourConditions) {
  list = {group("a", 3, 100), group("b", 2, 50), group("c", 4, 10)};
  selection.setSelectedGroupIDs({"c0", "a0", "missing"});
  const std::vector<PhotoGroup> selected = selection.selectedGroups(list);
  ASSERT_EQ(selected.size(), 2u);
  EXPECT_EQ(selected[0].id, "a0");
  EXPECT_EQ(selected[1].id, "c0");
  EXPECT_EQ(selection.selectedVictimCount(list), 2 + 3);
  EXPECT_EQ(selection.selectedReclaimableBytes(list), 200 + 30);
  EXPECT_EQ(selection.selectedVictimIDs(list),
            (std::vector<std::string>{"a1", "a2", "c1", "c2", "c3"}));

  EXPECT_FALSE(selection.canCleanup(list, false));
  selection.setIsSelecting(true);
  EXPECT_TRUE(selection.canCleanup(list, false));
  EXPECT_FALSE(selection.canCleanup(list, true));
  selection.setIsCleaning(true);
  EXPECT_FALSE(selection.canCleanup(list, false));
  selection.setIsCleaning(false);
  selection.setSelectedGroupIDs({"missing"});
  EXPECT_FALSE(selection.canCleanup(list, false));
  // Sizes from a damaged cache: the sum saturates and never goes negative.
  const std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  list = {group("h", 2, kMax), group("i", 2, kMax), group("n", 2, -5)};
  selection.setSelectedGroupIDs({"h0", "i0", "n0"});
  EXPECT_EQ(selection.selectedReclaimableBytes(list), kMax);
}

TEST_F(GroupSelectionTest, aPhotoInTwoSelectedGroupsIsOneVictim) {
  list = {PhotoGroup("x", {photo("x"), photo("shared")}),
          PhotoGroup("y", {photo("y"), photo("shared")}), PhotoGroup("z", {photo("z")})};
  selection.setSelectedGroupIDs({"x", "y", "z"});
  EXPECT_EQ(selection.selectedVictimIDs(list), (std::vector<std::string>{"shared"}));
}

TEST_F(GroupSelectionTest, focusWithoutGroupsClearsOrKeepsTheFocus) {
  selection.setFocusedGroupID(std::string("gone"));
  selection.focusPage({}, 4, 3);
  selection.focusStep({}, 0, 1, 4);
  EXPECT_EQ(selection.focusedGroupID(), std::optional<std::string>("gone"));
  selection.focusFirst({});
  EXPECT_FALSE(selection.focusedGroupID());
  selection.setFocusedGroupID(std::string("gone"));
  selection.focusLast({});
  EXPECT_FALSE(selection.focusedGroupID());
}

TEST_F(GroupSelectionTest, focusPageMovesWholeRowsAndClamps) {
  list = groups(20);
  const auto focusAt = [&](int index) { selection.setFocusedGroupID(id(index)); };
  focusAt(13);
  selection.focusPage(list, 4, 3);
  EXPECT_EQ(focused(), 19);
  focusAt(13);
  selection.focusPage(list, 4, -3);
  EXPECT_EQ(focused(), 1);
  focusAt(5);
  selection.focusPage(list, 4, -3);
  EXPECT_EQ(focused(), 0);
  selection.setFocusedGroupID(std::nullopt);
  selection.focusPage(list, 4, 3);
  EXPECT_EQ(focused(), 12);
  // Zero rows stays where it is; no focus (or a vanished one) counts as the first group.
  focusAt(5);
  selection.focusPage(list, 4, 0);
  EXPECT_EQ(focused(), 5);
  selection.setFocusedGroupID(std::string("vanished"));
  selection.focusPage(list, 4, 0);
  EXPECT_EQ(focused(), 0);
  selection.setFocusedGroupID(std::nullopt);
  selection.focusPage(list, 0, 1); // columns below 1 count as 1
  EXPECT_EQ(focused(), 1);
}

TEST_F(GroupSelectionTest, focusStepNeitherWrapsNorClamps) {
  list = groups(20);
  selection.setFocusedGroupID(id(1));
  selection.focusStep(list, -1, 0, 4);
  EXPECT_EQ(focused(), 1);
  selection.setFocusedGroupID(id(5));
  selection.focusStep(list, -1, 0, 4);
  EXPECT_EQ(focused(), 1);
  selection.setFocusedGroupID(id(19));
  selection.focusStep(list, 0, 1, 4);
  EXPECT_EQ(focused(), 19);
  selection.setFocusedGroupID(std::nullopt);
  selection.focusStep(list, 0, 1, 4);
  EXPECT_EQ(focused(), 1);
  selection.focusFirst(list);
  EXPECT_EQ(focused(), 0);
  selection.focusLast(list);
  EXPECT_EQ(focused(), 19);
}
