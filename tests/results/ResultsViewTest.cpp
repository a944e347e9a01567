#include "app/results/GroupCard.h"
#include "app/results/MonthHud.h"
#include "app/results/MonthIndexRail.h"
#include "app/store/AppStoreStateAccess.h"
#include "platform/gui/ReduceMotion.h"
#include "tests/results/support/GridViewHost.h"

#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <map>

using namespace lumora;
using namespace gridtest;

namespace {

class ResultsViewTest : public GridViewFixture {
protected:
  ~ResultsViewTest() override { platform::setReduceMotionOverride(std::nullopt); }

  void wheel(int notches) {
    QWidget *viewport = grid().viewport();
    const QPointF at(200, 200);
    QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -120 * notches),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(viewport, &event);
  }
  QString pinnedHeaderText() {
    for (auto *label : grid().viewport()->findChildren<QLabel *>()) {
      if (label->isVisible()) {
        return label->accessibleName();
      }
    }
    return {};
  }
};

} // namespace

TEST_F(ResultsViewTest, realResizesGiveTheColumnsOfTheGridWidth) {
  setGroups(monthlyGroups(1, 1));
  showView(700, 1500);
  for (const auto &[gridWidth, columns] : {std::pair{617, 1}, {618, 2}, {936, 3}}) {
    window().resize(gridWidth + 44, 1500);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid().layout().gridWidth(), gridWidth);
    EXPECT_EQ(view().columnCount(), columns) << gridWidth;
  }
  EXPECT_FALSE(view().rail().isVisible()); // one month, no rail
}

TEST_F(ResultsViewTest, onlyTheCardsInViewExistAmongTenThousandGroups) {
  setGroups(monthlyGroups(100, 100));
  showView();
  const int rowStride = grid().layout().cardHeight() + ResultsLayout::kSpacing;
  const int viewportHeight = grid().viewport()->height();
  const std::size_t limit =
      static_cast<std::size_t>((viewportHeight / rowStride + 4) * view().columnCount());
  for (const int position : {0, scrollBar().maximum() / 2, scrollBar().maximum()}) {
    scrollBar().setValue(position);
    QCoreApplication::processEvents();
    const auto cards = grid().cards().liveCards();
    EXPECT_FALSE(cards.empty());
    EXPECT_LE(cards.size(), limit) << position;
    for (GroupCard *card : cards) {
      const QRect cell = card->geometry().marginsRemoved(GroupCard::kOutset);
      EXPECT_GT(cell.bottom(), -rowStride);
      EXPECT_LT(cell.top(), viewportHeight + rowStride);
    }
  }
}

TEST_F(ResultsViewTest, wheelScrollingTracksMonthsHudAndRail) {
  setGroups(monthlyGroups(6, 6));
  showView();
  const MonthHudModel &hud = view().hud();
  EXPECT_EQ(hud.currentMonthID(), "2025-12");
  EXPECT_FALSE(hud.showHUD()); // the first appearance shows no overlay
  EXPECT_TRUE(view().isRailActive());
  EXPECT_TRUE(store().isScrolling());
  EXPECT_FALSE(grid().pinnedMonthID());
  EXPECT_TRUE(view().rail().isVisible());

  // The store's scrolling ends before the rail rests (300 ms against 1.2 s): checked when the
  // store's state changes, not after a wait a busy machine can stretch past both timers.
  bool railActiveWhenScrollingEnded = false;
  QObject::connect(&store(), &AppStore::isScrollingChanged, &store(), [&] {
    if (!store().isScrolling()) {
      railActiveWhenScrollingEnded = view().isRailActive();
    }
  });
  const ResultsLayout &layout = grid().layout();
  while (scrollBar().value() < layout.headerTop(1)) {
    wheel(1);
  }
  EXPECT_TRUE(hud.showHUD());
  EXPECT_EQ(hud.currentMonthID(), "2025-11");
  EXPECT_EQ(grid().pinnedMonthID(), "2025-11");
  EXPECT_EQ(pinnedHeaderText(), "2025年11月 6 组");
  EXPECT_TRUE(waitFor([&] { return grid().hud().presence() > 0.99; }));
  EXPECT_TRUE(grid().hud().isVisible());

  EXPECT_TRUE(waitFor([&] { return !store().isScrolling(); }));
  EXPECT_TRUE(railActiveWhenScrollingEnded);
  EXPECT_TRUE(waitFor([&] { return !hud.showHUD(); }));
  EXPECT_TRUE(waitFor([&] { return !view().isRailActive(); }));
  EXPECT_TRUE(waitFor([&] {
    return std::abs(view().rail().contentOpacity() - ResultsView::kRailIdleOpacity) < 0.01;
  }));
  EXPECT_TRUE(waitFor([&] { return !grid().hud().isVisible(); }));
}

// A live scan grows the grid, regroups and sends the view back to the top; none of that is
// the user scrolling, so the month overlay stays away until the wheel turns.
TEST_F(ResultsViewTest, aGrowingGridShowsTheMonthOverlayOnlyWhenTheUserScrolls) {
  setGroups(monthlyGroups(6, 3));
  showView();
  const MonthHudModel &hud = view().hud();
  bool shown = false;
  QObject::connect(&hud, &MonthHudModel::showHUDChanged, &hud,
                   [&] { shown = shown || hud.showHUD(); });
  wheel(6);
  ASSERT_TRUE(shown);
  ASSERT_TRUE(waitFor([&] { return !hud.showHUD(); }));
  shown = false;
  for (int perMonth = 4; perMonth <= 8; ++perMonth) {
    setGroups(monthlyGroups(6, perMonth)); // more groups: the view goes back to the top
    window().resize(window().width() - 10, window().height());
    spin(150);
  }
  EXPECT_EQ(scrollBar().value(), 0);
  EXPECT_FALSE(shown);
  EXPECT_EQ(hud.currentMonthID(), "2025-12");
  wheel(6);
  EXPECT_TRUE(hud.showHUD());
}

TEST_F(ResultsViewTest, railDragEndsWithThatMonthsHeaderOnTop) {
  setGroups(monthlyGroups(8, 5));
  showView();
  MonthIndexRail &rail = view().rail();
  const int monthHeight = rail.height() / 8;
  QTest::mousePress(&rail, Qt::LeftButton, {}, QPoint(40, monthHeight * 2 + monthHeight / 2));
  QTest::mouseMove(&rail, QPoint(40, monthHeight * 4 + monthHeight / 2));
  QTest::mouseRelease(&rail, Qt::LeftButton, {}, QPoint(40, monthHeight * 4 + monthHeight / 2));
  waitForScrollAt(grid().layout().headerTop(4));
  ASSERT_TRUE(waitForScrollAt(grid().layout().headerTop(4)));
  EXPECT_EQ(grid().pinnedMonthID(), "2025-8");
  EXPECT_EQ(view().hud().currentMonthID(), "2025-8");
}

// A scroll aimed elsewhere while it runs starts from where the view is: the view never
// passes through places of the old run on the way (each would place a screen of cards).
TEST_F(ResultsViewTest, aScrollAimedElsewhereMidWayStartsFromWhereTheViewIs) {
  setGroups(monthlyGroups(12, 6));
  showView();
  grid().scrollToSection(9);
  ASSERT_TRUE(waitFor([&] { return scrollBar().value() > 0; }));
  const int at = scrollBar().value();
  std::vector<int> passed;
  const QMetaObject::Connection recording = QObject::connect(
      &scrollBar(), &QScrollBar::valueChanged, [&passed](int value) { passed.push_back(value); });
  grid().scrollToSection(2);
  QObject::disconnect(recording);
  for (const int value : passed) {
    EXPECT_EQ(value, at);
  }
  EXPECT_TRUE(waitForScrollAt(grid().layout().sectionScrollTarget(2, grid().viewport()->height())));
}

TEST_F(ResultsViewTest, listChangesScrollToTheTopFortyMillisecondsLater) {
  setGroups(monthlyGroups(6, 6));
  showView();
  const auto scrolledDown = [&] {
    scrollBar().setValue(scrollBar().maximum() / 2);
    return scrollBar().value() > 0;
  };
  ASSERT_TRUE(scrolledDown());
  AppStore::StateAccess(store()).setSourceKind(AppStore::SourceKind::library);
  EXPECT_GT(scrollBar().value(), 0); // not at once
  EXPECT_TRUE(waitForScrollAt(0, 500));

  ASSERT_TRUE(scrolledDown());
  setGroups(monthlyGroups(6, 5));
  EXPECT_TRUE(waitForScrollAt(0, 500));

  // Regrouping dims the grid, and the member-count layout keeps its place on a source change.
  AppStore::StateAccess(store()).setIsRegrouping(true);
  EXPECT_TRUE(waitFor([&] { return std::abs(grid().contentOpacity() - 0.72) < 0.01; }));
  EXPECT_NEAR(view().rail().groupOpacity(), 0.72, 0.01); // the date layout dims as a whole
  store().setSort(GroupSort::memberCount);
  EXPECT_FALSE(grid().isSectioned());
  EXPECT_FALSE(view().rail().isVisible());
  EXPECT_TRUE(waitForScrollAt(0, 500));
  // The sort's regroup runs over the store's photos (none here); then the groups return.
  EXPECT_TRUE(waitFor([&] { return store().groups().empty(); }));
  spin(60);
  AppStore::StateAccess(store()).setIsRegrouping(false);
  setGroups(monthlyGroups(6, 5));
  spin(60);
  ASSERT_TRUE(scrolledDown());
  const int kept = scrollBar().value();
  AppStore::StateAccess(store()).setSourceKind(AppStore::SourceKind::folder);
  spin(100);
  EXPECT_EQ(scrollBar().value(), kept);
  EXPECT_TRUE(waitFor([&] { return grid().contentOpacity() == 1.0; }));
}

TEST_F(ResultsViewTest, focusScrollsTheCardToTheCentreAlsoWithReducedMotion) {
  const auto groups = monthlyGroups(10, 6);
  setGroups(groups);
  showView();
  const auto centred = [&](const std::string &id) {
    GroupCard *card = grid().cards().cardFor(id);
    if (card == nullptr) {
      return false;
    }
    const QRect cell = card->geometry().marginsRemoved(GroupCard::kOutset);
    return std::abs(cell.center().y() - grid().viewport()->height() / 2) <= 1;
  };
  store().setFocusedGroupID(groups[30].id);
  EXPECT_FALSE(centred(groups[30].id)); // eased over 0.14 s
  EXPECT_TRUE(waitFor([&] { return centred(groups[30].id); }));

  platform::setReduceMotionOverride(true);
  store().setFocusedGroupID(groups[12].id);
  QCoreApplication::processEvents();
  EXPECT_TRUE(centred(groups[12].id)); // at once
  const int position = scrollBar().value();
  store().setFocusedGroupID(std::nullopt);
  spin(50);
  EXPECT_EQ(scrollBar().value(), position);
}

// The grid's Tab stop has nothing of its own to show: arriving by Tab with no card focused
// focuses the first card wholly in view; a focused card, or focus given otherwise, stays.
TEST_F(ResultsViewTest, tabbingIntoTheGridFocusesTheFirstCardWhollyInView) {
  const auto groups = monthlyGroups(10, 6);
  setGroups(groups);
  showView();
  scrollBar().setValue(scrollBar().maximum() / 2);
  QCoreApplication::processEvents();
  view().keyView().setFocus(Qt::OtherFocusReason);
  EXPECT_FALSE(store().focusedGroupID());
  view().keyView().clearFocus();
  view().keyView().setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(store().focusedGroupID());
  const QRect viewport = grid().viewport()->rect();
  const QRect cell = grid()
                         .cards()
                         .cardFor(*store().focusedGroupID())
                         ->geometry()
                         .marginsRemoved(GroupCard::kOutset);
  EXPECT_TRUE(viewport.contains(cell));
  for (const GroupCard *card : grid().cards().liveCards()) {
    const QRect other = card->geometry().marginsRemoved(GroupCard::kOutset);
    EXPECT_FALSE(viewport.contains(other) &&
                 std::pair(other.y(), other.x()) < std::pair(cell.y(), cell.x()))
        << card->group().id;
  }
  store().setFocusedGroupID(groups[2].id);
  view().keyView().clearFocus();
  view().keyView().setFocus(Qt::BacktabFocusReason);
  EXPECT_EQ(store().focusedGroupID(), groups[2].id);

  // A focused card out of view (the list went back to its top after a rescan, or the wheel
  // moved it away) keeps the keys and comes into view with its ring.
  const auto wholeInView = [&](const std::string &id) {
    const GroupCard *card = grid().cards().cardFor(id);
    return card != nullptr && card->isVisible() &&
           grid().viewport()->rect().contains(card->geometry().marginsRemoved(GroupCard::kOutset));
  };
  ASSERT_TRUE(
      waitForScrollAt(grid().layout().centerScrollTarget(0, 2, grid().viewport()->height())));
  scrollBar().setValue(scrollBar().maximum());
  QCoreApplication::processEvents();
  ASSERT_FALSE(wholeInView(groups[2].id));
  view().keyView().clearFocus();
  view().keyView().setFocus(Qt::TabFocusReason);
  EXPECT_EQ(store().focusedGroupID(), groups[2].id);
  EXPECT_TRUE(waitFor([&] { return wholeInView(groups[2].id); }));

  // A focus naming no group is no focus: the first card wholly in view takes it.
  store().setFocusedGroupID(std::string("gone"));
  view().keyView().clearFocus();
  view().keyView().setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(store().focusedGroupID());
  EXPECT_TRUE(wholeInView(*store().focusedGroupID()));
}

// At the window's first size, beside the month rail, a card is too narrow for six tiles at
// their full spacing: the gaps close up so that six candidates still get six tiles, and
// only what does not fit even then goes to the "+n" tile.
TEST_F(ResultsViewTest, theFirstWindowSizeGivesSixCandidatesTheirTiles) {
  setGroups({datedGroup("six-", monthStart(2025, 12) + 3 * 86400.0, 6),
             datedGroup("seven-", monthStart(2025, 12) + 2 * 86400.0, 7),
             datedGroup("twenty-", monthStart(2025, 11), 20)});
  showView(); // 1150 × 780
  ASSERT_TRUE(view().rail().isVisible());
  std::map<int, GroupCard *> cards;
  for (GroupCard *card : grid().viewport()->findChildren<GroupCard *>()) {
    if (card->isVisible()) {
      card->finishAnimations();
      cards[static_cast<int>(card->group().count())] = card;
    }
  }
  ASSERT_EQ(cards.size(), 3u);
  const int width = cards[7]->cardRect().width();
  EXPECT_LT(width, 342) << "six tiles fit at the full spacing; this no longer tests the gaps";

  const auto layout = [width](int photos) { return GroupCardLayout::make(width, photos - 1); };
  const auto tipAt = [](GroupCard *card, const QRect &place) {
    return card->toolTipAt(place.center() + card->cardRect().topLeft());
  };
  EXPECT_EQ(layout(6).tiles.size(), 5u);
  EXPECT_TRUE(layout(6).overflow.isEmpty());
  EXPECT_EQ(layout(6).tiles[1].left() - layout(6).tiles[0].right() - 1,
            GroupCardLayout::kTileSpacing);

  const GroupCardLayout seven = layout(7);
  ASSERT_EQ(seven.tiles.size(), 6u);
  EXPECT_TRUE(seven.overflow.isEmpty());
  EXPECT_LE(seven.tiles.back().right(), seven.strip.right());
  EXPECT_TRUE(tipAt(cards[7], seven.tiles.back()).startsWith(QStringLiteral("seven-6 · ")));

  // Six tiles and the overflow tile need more than this card has: five tiles and +14.
  const GroupCardLayout twenty = layout(20);
  EXPECT_EQ(twenty.tiles.size(), 5u);
  EXPECT_EQ(twenty.hiddenCount(19), 14);
  EXPECT_LE(twenty.overflow.right(), twenty.strip.right());
  EXPECT_EQ(tipAt(cards[20], twenty.overflow), QStringLiteral("还有 14 张候选照片"));
}
