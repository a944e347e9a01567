#include "app/results/CardPool.h"
#include "app/results/GroupCard.h"
#include "app/results/GroupCardHero.h"
#include "app/results/SummaryBar.h"
#include "app/shell/components/LeavingPicture.h"
#include "app/shell/transition/LoadingImages.h"
#include "app/shell/transition/ScreenTransition.h"
#include "app/store/AppStoreStateAccess.h"
#include "engine/core/LumoraEngine.h"
#include "engine/scan/ScanPreviews.h"
#include "tests/results/support/GridViewHost.h"
#include "tests/shell/support/FilmedFrames.h"
#include "tests/support/ImageFixtures.h"

#include <QElapsedTimer>
#include <QTest>
#include <QVariantAnimation>
#include <algorithm>
#include <map>

using namespace lumora;
using namespace gridtest;

// Three scenes shot in three months, scanned for real: the grid lists the newest month
// first, and Return opens the focused group.
TEST_F(GridViewFixture, aRealScanListsTheNewestMonthFirstAndReturnOpensTheFocusedGroup) {
  const std::filesystem::path photos = tempPath() / "photos";
  std::filesystem::create_directories(photos);
  const std::vector<std::pair<int, int>> months = {{2025, 3}, {2025, 5}, {2025, 4}};
  for (std::size_t scene = 0; scene < months.size(); ++scene) {
    for (int shot = 0; shot < 3; ++shot) {
      const auto path =
          photos / ("s" + std::to_string(scene) + "-" + std::to_string(shot) + ".png");
      ASSERT_TRUE(testsupport::writeScene(path, static_cast<int>(scene) * 7 + 1, 640, 480));
      testsupport::setModified(path, monthStart(months[scene].first, months[scene].second) +
                                         86400 * 3 + shot);
    }
  }
  store().chooseFolder();
  ASSERT_TRUE(storetest::waitForPhase(store(), AppStore::Phase::Kind::ready));
  ASSERT_EQ(store().groups().size(), 3u);
  showView();
  const auto &sections = grid().sections();
  ASSERT_EQ(sections.size(), 3u);
  EXPECT_EQ(sections[0].id, "2025-5");
  EXPECT_EQ(sections[1].id, "2025-4");
  EXPECT_EQ(sections[2].id, "2025-3");
  ASSERT_TRUE(waitFor([&] { return view().keyView().hasFocus(); }, 1000));
  QTest::keyClick(&view().keyView(), Qt::Key_Home);
  QTest::keyClick(&view().keyView(), Qt::Key_Return);
  EXPECT_EQ(store().detailGroupID(), store().groups().front().id);
}

namespace {

/// A view over `count` groups of two shots each, scanned for real, with its photos in.
class ScannedGridFixture : public GridViewFixture {
protected:
  /// Scans `count` scenes of two shots each. Analysed in an earlier session, the photos come
  /// from the analysis cache: the scan decodes none of them.
  void scan(int count, bool analysedEarlier = false) {
    const std::filesystem::path photos = tempPath() / "photos";
    std::filesystem::create_directories(photos);
    for (int scene = 0; scene < count; ++scene) {
      for (int shot = 0; shot < 2; ++shot) {
        const auto path =
            photos / ("s" + std::to_string(scene) + "-" + std::to_string(shot) + ".png");
        ASSERT_TRUE(testsupport::writeScene(path, scene * 7 + 1, 640, 480));
        testsupport::setModified(path, monthStart(2025, 3) + 86400 * scene + shot);
      }
    }
    if (analysedEarlier) {
      LumoraEngine earlier(QString::fromStdString((tempPath() / "analysis-cache.bin").string()));
      ASSERT_TRUE(earlier
                      .scan({QUrl::fromLocalFile(QString::fromStdString(photos.string()))},
                            ScanOptions::defaults(), {})
                      .hasValue());
    }
    store().chooseFolder();
    ASSERT_TRUE(storetest::waitForPhase(store(), AppStore::Phase::Kind::ready));
    ASSERT_EQ(store().groups().size(), static_cast<std::size_t>(count));
  }
  /// Every placed card, also those just outside the view, has its photos.
  void waitForPhotos() {
    ASSERT_TRUE(waitFor(
        [&] {
          const std::vector<GroupCard *> cards = grid().cards().liveCards();
          return std::none_of(cards.begin(), cards.end(),
                              [](const GroupCard *card) { return card->isLoadingImages(); });
        },
        60000));
  }
  /// Scans three scenes and shows only the first two groups, their photos in: the third
  /// group's photos are ones the window never decoded.
  std::vector<PhotoGroup> scanAndShowTwoOfThree() {
    scan(3);
    std::vector<PhotoGroup> groups = store().groups();
    AppStore::StateAccess(store()).setGroups({groups[0], groups[1]});
    showView();
    waitForPhotos();
    return groups;
  }
  void scanAndShow(int count, bool analysedEarlier = false) {
    scan(count, analysedEarlier);
    showView();
    waitForPhotos();
  }
};

} // namespace

// Groups a regroup brings whose photos are not decoded yet: until they are (or the wait is
// over) the grid shows its old cards whole under a still picture, never empty picture boxes.
TEST_F(ScannedGridFixture, aRegroupKeepsTheOldCardsInViewUntilTheNewOnesHaveTheirPhotos) {
  scanAndShow(3, true);
  store().thumbnails().clearCache();
  std::vector<PhotoGroup> renamed = store().groups();
  for (PhotoGroup &group : renamed) {
    // Another group with another best photo on every card.
    std::reverse(group.items.begin(), group.items.end());
    group.id += "-regrouped";
    group.bestID = group.items.front().id;
  }
  // The wait's limit runs on the animation clock: it never runs out while the clock stands,
  // so the picture must stay whole for as long as the photos take.
  filmtest::ManualClock clock;
  AppStore::StateAccess access(store());
  access.setIsRegrouping(true);
  access.setGroups(renamed);
  access.setIsRegrouping(false);
  const lumora::ScreenTransition &transition = view().transition();
  ASSERT_NE(transition.picture(), nullptr);
  bool sawLoading = false;
  bool wholeWhileLoading = true;
  ASSERT_TRUE(waitFor(
      [&] {
        if (view().isLoadingImages()) {
          sawLoading = true;
          wholeWhileLoading = wholeWhileLoading && transition.picture() != nullptr &&
                              transition.picture()->progress() == 0.0;
        }
        return transition.state() == lumora::ScreenTransition::State::crossing;
      },
      10000));
  EXPECT_TRUE(sawLoading);
  EXPECT_TRUE(wholeWhileLoading);
  EXPECT_FALSE(view().isLoadingImages());
  for (int frame = 0; frame < 50 && transition.picture() != nullptr; ++frame) {
    clock.advanceBy(20);
    QCoreApplication::processEvents();
  }
  ASSERT_TRUE(
      waitFor([&] { return transition.state() == lumora::ScreenTransition::State::idle; }, 2000));
}

// A regroup brings a group whose photos the window never decoded: its card shows the
// picture the scan decoded at once (the grid neither waits for it nor shows an empty box),
// and the card's own thumbnail then takes its place.
TEST_F(ScannedGridFixture, aCardTheWindowNeverShowedHasTheScansPictureAtOnceAfterARegroup) {
  const std::vector<PhotoGroup> groups = scanAndShowTwoOfThree();
  AppStore::StateAccess access(store());
  const PhotoItem best = *groups[2].best();
  ASSERT_EQ(store().thumbnails().cached(best, 640), nullptr);

  filmtest::ManualClock clock;
  access.setIsRegrouping(true);
  access.setGroups(groups);
  access.setIsRegrouping(false);
  // Checked before any event runs: no decode of the new card's photos can have ended.
  GroupCard *card = grid().cards().cardFor(groups[2].id);
  ASSERT_NE(card, nullptr);
  const auto *hero = card->findChild<const GroupCardHero *>();
  ASSERT_NE(hero, nullptr);
  EXPECT_EQ(hero->heroPhoto().width(), ScanPreviews::kLongSide);
  EXPECT_FALSE(card->isLoadingImages());
  EXPECT_FALSE(view().isLoadingImages());
  ASSERT_TRUE(waitFor([&] { return hero->heroPhoto().width() == 640; }, 60000))
      << "its own thumbnail replaces the scan's picture";
}

// A live regroup of a running scan hands the first card another group whose photo the scan
// kept: the wait ends at once, so the picture of the old grid leaves at once too. The card
// must stand whole beneath it by then; its entrance, seen by nobody, is not played.
TEST_F(ScannedGridFixture, aCardGivenAnotherGroupDuringAScanIsWholeWhenThePictureLeaves) {
  const std::vector<PhotoGroup> groups = scanAndShowTwoOfThree();
  AppStore::StateAccess access(store());

  filmtest::ManualClock clock;
  access.setPhase(AppStore::Phase::scanning());
  access.setGroups({groups[2], groups[0], groups[1]});
  GroupCard *card = grid().cards().cardFor(groups[2].id);
  ASSERT_NE(card, nullptr);
  const lumora::ScreenTransition &transition = view().transition();
  ASSERT_NE(transition.picture(), nullptr);
  ASSERT_TRUE(waitFor(
      [&] { return transition.state() == lumora::ScreenTransition::State::crossing; }, 10000));
  EXPECT_TRUE(card->hasEntered());
  EXPECT_DOUBLE_EQ(card->currentLook().opacity, 1.0);
  EXPECT_DOUBLE_EQ(card->currentLook().scale, 1.0);
}

namespace {

/// A view whose photo never comes while it is shown.
class EndlessPhoto : public QWidget, public lumora::LoadingImages {
public:
  using QWidget::QWidget;
  [[nodiscard]] bool isLoadingImages() const override { return true; }
};

/// The same groups, each now led by another photo under another id.
std::vector<PhotoGroup> regrouped(std::vector<PhotoGroup> groups, const std::string &suffix) {
  for (PhotoGroup &group : groups) {
    std::reverse(group.items.begin(), group.items.end());
    group.id = group.items.front().id + suffix;
    group.bestID = group.items.front().id;
  }
  return groups;
}

} // namespace

// A rescan empties the thumbnail cache and the grid, then brings the same groups back: every
// card shows its photos again at once, none asks for a photo it showed a moment ago. Before,
// the refilled cards were handed other groups and decoded everything anew under the hold.
TEST_F(ScannedGridFixture, photosOnScreenStayThroughARescansEmptyingAndRefilling) {
  scanAndShow(8);
  const std::vector<PhotoGroup> groups = store().groups();

  AppStore::StateAccess access(store());
  store().thumbnails().clearCache();
  access.setGroups({});
  access.setGroups(groups);
  // Checked before any event runs: a request that missed would be pending now.
  EXPECT_FALSE(view().isLoadingImages());
  ASSERT_GE(grid().cards().liveCount(), 6u);
  for (const GroupCard *card : grid().cards().liveCards()) {
    EXPECT_FALSE(card->isLoadingImages()) << card->group().id;
  }
}

// The regroups of a running scan come faster than new photos decode. Each one used to take
// the picture again and restart the photo wait, so the grid stood still on an old state
// whose month headers disagreed with the summary bar above it. Now the picture covers the
// summary bar with the grid (their counts change together) and stands for one photo wait
// in all, however many regroups come meanwhile; the counts outside it wait with it.
TEST_F(ScannedGridFixture, aScansRegroupsHoldTheSummaryWithTheGridForOneWaitInAll) {
  scanAndShow(3);
  (new EndlessPhoto(&view()))->show();
  filmtest::ManualClock clock;
  // Keeps the hand-driven clock running, as the scan's spinner does.
  QVariantAnimation spinner;
  spinner.setDuration(3600 * 1000);
  spinner.setStartValue(0.0);
  spinner.setEndValue(1.0);
  spinner.start();
  const lumora::ScreenTransition &transition = view().transition();
  AppStore::StateAccess access(store());
  const std::vector<PhotoGroup> groups = store().groups();
  access.setPhase(AppStore::Phase::scanning());

  // The first regroup drops a group: the summary's count changes. The picture shows the
  // bar as it stood before, not a bar already following the new groups over the old grid.
  const QRect bar = view().summaryBar().geometry();
  const QImage barBefore = LeavingPicture::pictureOf(&view()).toImage().copy(bar);
  std::vector<PhotoGroup> fewer = groups;
  fewer.pop_back();
  access.setGroups(regrouped(fewer, "-first"));
  ASSERT_NE(transition.picture(), nullptr);
  EXPECT_EQ(transition.picture()->picture().toImage().copy(bar), barBefore);
  // The counts outside the picture (the banner, the stat pill) say what it shows.
  EXPECT_EQ(store().groupCountShown(), groups.size());

  constexpr int kStepMs = 40;
  const lumora::LeavingPicture *first = nullptr;
  int waitedMs = 0;
  for (int regroup = 0;
       transition.state() != lumora::ScreenTransition::State::crossing && waitedMs < 1000;
       ++regroup) {
    access.setGroups(regrouped(fewer, "-" + std::to_string(regroup)));
    EXPECT_EQ(store().groupCountShown(), groups.size()) << "regroup " << regroup;
    const lumora::LeavingPicture *picture = transition.picture();
    ASSERT_NE(picture, nullptr);
    first = first != nullptr ? first : picture;
    EXPECT_EQ(picture, first) << "regroup " << regroup << " took the picture again";
    EXPECT_EQ(picture->parentWidget(), &view());
    EXPECT_TRUE(picture->geometry().contains(view().summaryBar().geometry()));
    EXPECT_TRUE(picture->geometry().contains(grid().geometry()));
    QCoreApplication::processEvents();
    clock.advanceBy(kStepMs);
    QCoreApplication::processEvents();
    waitedMs += kStepMs;
  }
  EXPECT_EQ(transition.state(), lumora::ScreenTransition::State::crossing);
  EXPECT_GE(waitedMs, lumora::PhotoWait::kLimitMs);
  EXPECT_LE(waitedMs, lumora::PhotoWait::kLimitMs + 3 * kStepMs);
  EXPECT_EQ(store().groupCountShown(), fewer.size()) << "the counts follow as the grid moves";
}

// Each change of the groups dissolves a still picture of the old grid into the new one. A
// change that brings the grid's scroll bar or takes it away must leave the cards' width and
// places as they were: a card a few pixels narrower in the new grid shows its edges twice
// while the two cross. Filmed on a hand-driven clock for a scan's regroups both ways, a
// rescan's emptying and refilling, and a new sort.
TEST_F(ScannedGridFixture, theCardsKeepTheirPlacesWhenAChangeBringsOrTakesTheScrollBar) {
  scanAndShow(4);
  const std::vector<PhotoGroup> groups = store().groups();
  // A window just too low for the four groups under their month header, high enough for
  // them without it (the member-count layout) and for two groups.
  const int tooLowBy = 26;
  window().resize(window().width(), window().height() - grid().viewport()->height() +
                                        grid().layout().contentHeight() - tooLowBy);
  QCoreApplication::processEvents();
  ASSERT_TRUE(scrollBar().isVisible());

  filmtest::ManualClock clock;
  const lumora::ScreenTransition &transition = view().transition();
  const auto cells = [&] {
    std::map<std::string, QRect> shown;
    for (const GroupCard *card : grid().cards().liveCards()) {
      if (card->isVisible()) {
        shown[card->group().id] = card->geometry().marginsRemoved(GroupCard::kOutset);
      }
    }
    return shown;
  };
  // Steps the clock until the change has settled, every card in every frame where it was.
  const auto film = [&](const std::map<std::string, QRect> &before, const char *change,
                        bool sameRows) {
    for (int frame = 0; frame < 100 && transition.state() != lumora::ScreenTransition::State::idle;
         ++frame) {
      clock.advanceBy(20);
      QCoreApplication::processEvents();
      for (const auto &[id, cell] : cells()) {
        const auto was = before.find(id);
        if (was == before.end()) {
          continue;
        }
        ASSERT_EQ(cell.left(), was->second.left()) << change << " frame " << frame << " " << id;
        ASSERT_EQ(cell.right(), was->second.right()) << change << " frame " << frame << " " << id;
        if (sameRows) {
          ASSERT_EQ(cell.top(), was->second.top()) << change << " frame " << frame << " " << id;
        }
      }
    }
    EXPECT_EQ(transition.state(), lumora::ScreenTransition::State::idle) << change;
  };

  AppStore::StateAccess access(store());
  access.setPhase(AppStore::Phase::scanning());
  std::map<std::string, QRect> before = cells();
  access.setGroups({groups[0], groups[1]});
  film(before, "a regroup to fewer groups", true);
  EXPECT_FALSE(scrollBar().isVisible());

  before = cells();
  access.setGroups(groups);
  film(before, "a regroup to more groups", true);
  EXPECT_TRUE(scrollBar().isVisible());

  before = cells();
  access.setGroups({});
  access.setGroups(groups);
  film(before, "a rescan", true);

  access.setPhase(AppStore::Phase::ready());
  before = cells();
  store().setSort(GroupSort::memberCount);
  ASSERT_TRUE(waitFor([&] { return !store().isRegrouping() && !store().groups().empty(); }));
  film(before, "a new sort", false);
  EXPECT_FALSE(grid().isSectioned());
  EXPECT_FALSE(scrollBar().isVisible());
}
