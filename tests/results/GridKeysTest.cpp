#include "app/store/AppStoreStateAccess.h"
#include "tests/results/support/GridViewHost.h"

#include <QAction>
#include <QPushButton>
#include <QTest>

using namespace lumora;
using namespace gridtest;

namespace {

// Four months of six groups in three columns (1150 wide).
class GridKeysTest : public GridViewFixture {
protected:
  void SetUp() override {
    m_groups = monthlyGroups(4, 6);
    setGroups(m_groups);
    showView();
    ASSERT_TRUE(waitFor([&] { return view().keyView().hasFocus(); }));
    ASSERT_EQ(view().columnCount(), 3);
  }
  /// Sends a key to the key view; true when the view used it (it did not reach the window).
  bool press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    const std::size_t before = window().passedKeys.size();
    QTest::keyClick(&view().keyView(), key, modifiers);
    return window().passedKeys.size() == before;
  }
  void focus(std::size_t index) { store().setFocusedGroupID(m_groups[index].id); }
  std::size_t focused() {
    const std::string id = store().focusedGroupID().value_or("");
    for (std::size_t i = 0; i < m_groups.size(); ++i) {
      if (m_groups[i].id == id) {
        return i;
      }
    }
    return SIZE_MAX;
  }

  std::vector<PhotoGroup> m_groups;
};

} // namespace

TEST_F(GridKeysTest, navigationKeysMoveTheFocusAndAreAlwaysUsed) {
  EXPECT_TRUE(press(Qt::Key_End));
  EXPECT_EQ(focused(), 23u);
  EXPECT_TRUE(press(Qt::Key_Home));
  EXPECT_EQ(focused(), 0u);
  EXPECT_TRUE(press(Qt::Key_Right));
  EXPECT_EQ(focused(), 1u);
  EXPECT_TRUE(press(Qt::Key_Down));
  EXPECT_EQ(focused(), 4u);
  EXPECT_TRUE(press(Qt::Key_Down, Qt::ShiftModifier)); // Shift changes nothing
  EXPECT_EQ(focused(), 7u); // whole rows in the flat order, into the next month
  EXPECT_TRUE(press(Qt::Key_Left));
  EXPECT_EQ(focused(), 6u);
  EXPECT_TRUE(press(Qt::Key_Up));
  EXPECT_EQ(focused(), 3u);
  EXPECT_TRUE(press(Qt::Key_PageDown));
  EXPECT_EQ(focused(), 12u);
  EXPECT_TRUE(press(Qt::Key_PageUp));
  EXPECT_EQ(focused(), 3u);
  EXPECT_TRUE(press(Qt::Key_PageUp));
  EXPECT_EQ(focused(), 0u);
  EXPECT_TRUE(press(Qt::Key_Up)); // at the edge: used, nothing moves
  EXPECT_EQ(focused(), 0u);
  EXPECT_FALSE(press(Qt::Key_Down, Qt::ControlModifier)); // Ctrl+arrow goes up
  EXPECT_FALSE(press(Qt::Key_A));
  EXPECT_FALSE(press(Qt::Key_A, Qt::ControlModifier)); // not selecting: no shortcut
  EXPECT_EQ(window().passedKeys, (std::vector<int>{Qt::Key_Down, Qt::Key_A, Qt::Key_A}));
}

TEST_F(GridKeysTest, returnSpaceAndEscapeFollowTheSelectionMode) {
  EXPECT_TRUE(press(Qt::Key_Return)); // nothing focused: used, nothing opens
  EXPECT_FALSE(store().detailGroupID());
  EXPECT_FALSE(press(Qt::Key_Space));
  EXPECT_FALSE(press(Qt::Key_Escape));
  EXPECT_TRUE(view().selectionShortcuts().isEmpty());

  AppStore::StateAccess(store()).setPhase(AppStore::Phase::ready());
  store().enterSelectionMode();
  ASSERT_TRUE(store().isSelecting());
  EXPECT_EQ(view().selectionShortcuts().size(), 3);
  EXPECT_TRUE(press(Qt::Key_Space)); // nothing focused: used
  focus(2);
  EXPECT_TRUE(press(Qt::Key_Space));
  EXPECT_EQ(store().selectedGroupIDs(), std::unordered_set<std::string>{m_groups[2].id});
  EXPECT_TRUE(press(Qt::Key_Backspace));
  EXPECT_TRUE(store().isBatchConfirmPresented());
  store().setIsBatchConfirmPresented(false);
  EXPECT_TRUE(press(Qt::Key_A, Qt::ControlModifier));
  EXPECT_EQ(store().selectedGroupIDs().size(), m_groups.size());
  EXPECT_TRUE(press(Qt::Key_Escape));
  EXPECT_FALSE(store().isSelecting());
  EXPECT_TRUE(store().selectedGroupIDs().empty());
  EXPECT_FALSE(store().selectionAnchorID());
  EXPECT_TRUE(view().selectionShortcuts().isEmpty());

  // Backspace with nothing cleanable selected does nothing.
  store().enterSelectionMode();
  EXPECT_TRUE(press(Qt::Key_Backspace));
  EXPECT_FALSE(store().isBatchConfirmPresented());
  store().exitSelectionMode();

  focus(5);
  EXPECT_TRUE(press(Qt::Key_Return));
  EXPECT_EQ(store().detailGroupID(), m_groups[5].id);
  EXPECT_EQ(window().passedKeys, (std::vector<int>{Qt::Key_Space, Qt::Key_Escape}));
}

TEST_F(GridKeysTest, monthJumpsClampAndEveryJumpScrolls) {
  const ResultsLayout &layout = grid().layout();
  EXPECT_TRUE(press(Qt::Key_BracketLeft, Qt::ControlModifier)); // at the first month
  EXPECT_EQ(store().lastMonthJumpTarget(), "2025-12");
  EXPECT_TRUE(press(Qt::Key_BracketRight, Qt::ControlModifier));
  EXPECT_EQ(store().lastMonthJumpTarget(), "2025-11");
  ASSERT_TRUE(waitForScrollAt(layout.headerTop(1)));
  EXPECT_EQ(grid().pinnedMonthID(), "2025-11");

  // Back to the top by hand, then the same target again: it scrolls again.
  scrollBar().setValue(0);
  EXPECT_EQ(view().hud().currentMonthID(), "2025-12");
  EXPECT_TRUE(press(Qt::Key_BracketRight, Qt::ControlModifier));
  EXPECT_EQ(store().lastMonthJumpTarget(), "2025-11");
  EXPECT_TRUE(waitForScrollAt(layout.headerTop(1)));

  const auto settled = [&] {
    const auto target = QString::fromStdString(store().lastMonthJumpTarget().value_or(""));
    const int height = grid().viewport()->height();
    return waitForScrollAt(layout.sectionScrollTarget(*grid().sectionIndex(target), height));
  };
  for (int i = 0; i < 4; ++i) {
    press(Qt::Key_BracketRight, Qt::ControlModifier);
    EXPECT_TRUE(settled());
  }
  EXPECT_EQ(store().lastMonthJumpTarget(), "2025-9"); // the last month, clamped
  EXPECT_TRUE(window().passedKeys.empty());

  // Sorted by member count the jumps are used but do nothing.
  store().setSort(GroupSort::memberCount);
  store().setLastMonthJumpTarget(std::nullopt);
  EXPECT_TRUE(press(Qt::Key_BracketRight, Qt::ControlModifier));
  EXPECT_FALSE(store().lastMonthJumpTarget());
}

TEST(GridKeyViewFocus, anInactiveWindowKeepsItsFocus) {
  QWidget active;
  active.show();
  QApplication::setActiveWindow(&active);
  ASSERT_TRUE(waitFor([&] { return active.isActiveWindow(); }));
  QWidget background;
  // The offscreen platform activates every window it shows, after the key view's one try;
  // the activation focuses the window's first control, which this button is.
  new QPushButton(&background);
  auto *keys = new GridKeyView(&background);
  background.show();
  spin(20);
  EXPECT_FALSE(keys->hasFocus());
}
