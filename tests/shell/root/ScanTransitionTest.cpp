// The pictures that leave when a scan ends or starts, and when a deletion closes the preview:
// each shows the screen as the user last saw it, never a state of the store's action half
// published (a paused banner nobody asked for, a half-cleared summary, the next photo
// loading).
#include "app/ApplicationScreens.h"
#include "app/detail/PhotoPreviewView.h"
#include "app/detail/PreviewStage.h"
#include "app/results/MonthHud.h"
#include "app/results/ResultsGrid.h"
#include "app/results/ResultsView.h"
#include "app/shell/components/LeavingPicture.h"
#include "app/shell/root/PhaseScreenHost.h"
#include "app/shell/transition/LoadingImages.h"
#include "app/store/AppStoreStateAccess.h"
#include "tests/shell/root/RootViewFixture.h"
#include "tests/shell/support/FilmedFrames.h"

#include <QElapsedTimer>
#include <QScrollBar>
#include <algorithm>
#include <cstdlib>

using lumora::AppStore;
using lumora::LeavingPicture;
using lumora::PhotoItem;
using lumora::rootscreen::ScreenKind;
using Kind = AppStore::Phase::Kind;

namespace {

class ScanTransition : public roottest::RootViewTest {
protected:
  ScanTransition() { factory = lumora::applicationScreens(); }

  /// Scans two bursts to the results, so a rescan finds them in the cache.
  void scanOnce() {
    rig.writeBurst("a", 1, 3);
    rig.writeBurst("b", 2, 3, 1.8e9);
    view();
    rig.store->chooseFolder();
    ASSERT_TRUE(rig.waitForPhase(Kind::ready));
    ASSERT_TRUE(roottest::waitFor([&] { return shown() == ScreenKind::results; }));
  }
  /// Rescans with a third burst and holds the scan once the six cached photos show on the
  /// live results.
  void rescanAndHoldOnLiveResults() {
    rig.writeBurst("c", 3, 3, 1.9e9);
    rig.gate->holdAfterPartial(
        [](const std::vector<PhotoItem> &batch) { return batch.size() == 6; });
    rig.store->retry();
    ASSERT_TRUE(roottest::waitFor(
        [&] { return rig.gate->waiting() > 0 && shown() == ScreenKind::liveResults; }));
    settle();
  }

  [[nodiscard]] ScreenKind shown() {
    roottest::spin(5);
    return view().phaseScreens()->choice().kind;
  }
  [[nodiscard]] QWidget *screen() { return view().phaseScreens()->screen(); }
  [[nodiscard]] const lumora::ScreenTransition &transition() {
    return view().phaseScreens()->transition();
  }
  /// Waits until the screen area stands still with its photos: the event, however long a
  /// busy machine takes.
  void settle() {
    ASSERT_TRUE(roottest::waitFor([&] {
      return transition().state() == lumora::ScreenTransition::State::idle &&
             !lumora::LoadingImages::anyIn(screen());
    }));
    roottest::spin(50);
  }
  /// What the screen area shows now, over the window background, as one picture.
  [[nodiscard]] QImage shownNow() { return rgb(transition().pictureShown(screen())); }

  /// The picture leaving `parent` now, or a null image when none does.
  static QImage leavingPicture(QWidget *parent) {
    for (const LeavingPicture *exit :
         parent->findChildren<LeavingPicture *>(QString(), Qt::FindDirectChildrenOnly)) {
      if (exit->isVisible()) {
        return exit->picture().toImage().convertToFormat(QImage::Format_RGB32);
      }
    }
    return {};
  }
  /// How different two pictures of one size are, per pixel and channel (0…255).
  static double meanDifference(const QImage &a, const QImage &b) {
    if (a.size() != b.size() || a.isNull()) {
      return 255;
    }
    return filmtest::difference(a, b, a.rect()) / (3.0 * a.width() * a.height());
  }
  static QImage rgb(const QPixmap &pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
  }
};

} // namespace

TEST_F(ScanTransition, aScanThatEndsLeavesWithTheLiveScreenAsShownAlsoAfterAResume) {
  scanOnce();
  rescanAndHoldOnLiveResults();
  // Paused and resumed: the scan then ends by itself.
  rig.store->requestPause();
  ASSERT_TRUE(roottest::waitFor([&] { return rig.store->isPaused(); }));
  rig.store->resumeScan();
  ASSERT_TRUE(roottest::waitFor([&] { return rig.gate->waiting() > 0; }));
  settle();
  const QImage before = shownNow();
  QWidget *host = view().phaseScreens();
  filmtest::ManualClock clock; // the leaving picture stays while the clock stands
  rig.gate->release();
  ASSERT_TRUE(rig.waitForPhase(Kind::ready));
  ASSERT_EQ(shown(), ScreenKind::results);
  EXPECT_LT(meanDifference(leavingPicture(host), before), 1.0);
}

TEST_F(ScanTransition, theResultsFadeInOnlyOnceTheirPhotosAreThere) {
  scanOnce();
  settle();
  // A third burst, which no view has shown and whose pictures the scan does not offer (as
  // for photos analysed in an earlier session): the results that the rescan refills beneath
  // the still picture must load its photos. The store's clock stands before its last live
  // regroup, so no regroup during the scan shows them first; the animation clock stands
  // too, so the rescan keeps the results and only the photos end the wait.
  rig.writeBurst("c", 3, 3, 1.9e9);
  rig.gate->withholdScanPictures();
  rig.clockStandsAt = std::chrono::steady_clock::time_point{};
  filmtest::ManualClock clock;
  rig.store->retry();
  ASSERT_TRUE(rig.waitForPhase(Kind::ready));
  bool sawLoading = false;
  bool stillWhileLoading = true;
  ASSERT_TRUE(roottest::waitFor([&] {
    if (view().phaseScreens()->choice().kind != ScreenKind::results) {
      return false;
    }
    const bool loading = lumora::LoadingImages::anyIn(screen());
    sawLoading = sawLoading || loading;
    const LeavingPicture *picture = transition().picture();
    stillWhileLoading = stillWhileLoading && (!loading || (picture && picture->isStill()));
    return transition().state() == lumora::ScreenTransition::State::crossing;
  }));
  EXPECT_TRUE(sawLoading);
  EXPECT_TRUE(stillWhileLoading);
  // No frame of the dissolve shows a card without its photos.
  EXPECT_FALSE(lumora::LoadingImages::anyIn(screen()));
}

TEST_F(ScanTransition, aPauseAndAResumeChangeTheLiveScreenInPlace) {
  scanOnce();
  rescanAndHoldOnLiveResults();
  QWidget *live = screen();
  const int replaced = view().phaseScreens()->replacementCount();
  rig.store->requestPause();
  ASSERT_TRUE(roottest::waitFor([&] { return rig.store->phase().kind == Kind::ready; }));
  EXPECT_EQ(screen(), live);
  rig.store->resumeScan();
  ASSERT_TRUE(roottest::waitFor([&] { return rig.gate->waiting() > 0; }));
  EXPECT_EQ(screen(), live);
  EXPECT_EQ(view().phaseScreens()->replacementCount(), replaced);
  rig.gate->release();
}

TEST_F(ScanTransition, aScreenAboutToGiveWayShowsAsItWasUntilItDoes) {
  scanOnce();
  settle();
  QWidget *results = screen();
  const QImage before = shownNow();
  QWidget *host = view().phaseScreens();
  filmtest::ManualClock clock;
  // A store action's first change: the results already follow it, the window must not.
  AppStore::StateAccess(*rig.store).setGroups({});
  const QImage held = leavingPicture(host);
  EXPECT_LT(meanDifference(held, before), 1.0);
  const LeavingPicture *cover = transition().picture();
  ASSERT_NE(cover, nullptr);
  EXPECT_TRUE(cover->isVisible());
  EXPECT_TRUE(cover->geometry().contains(results->geometry()));
  EXPECT_EQ(shown(), ScreenKind::noSimilarGroups);
  EXPECT_LT(meanDifference(leavingPicture(host), before), 1.0);
}

// A rescan of a cached folder ends within a few frames: the results stay still meanwhile and
// dissolve into the same results, from one picture of what the window showed.
TEST_F(ScanTransition, aQuickRescanKeepsTheResultsAsShownUntilTheNewOnes) {
  scanOnce();
  settle();
  const QImage before = shownNow();
  QWidget *host = view().phaseScreens();
  filmtest::ManualClock clock;
  rig.gate->holdAtStart();
  rig.store->retry();
  ASSERT_EQ(shown(), ScreenKind::results);
  EXPECT_EQ(transition().state(), lumora::ScreenTransition::State::held);
  EXPECT_LT(meanDifference(leavingPicture(host), before), 1.0);
  rig.gate->release();
  ASSERT_TRUE(rig.waitForPhase(Kind::ready));
  ASSERT_EQ(shown(), ScreenKind::results);
  const auto exits = host->findChildren<LeavingPicture *>(QString(), Qt::FindDirectChildrenOnly);
  int visible = 0;
  for (const LeavingPicture *exit : exits) {
    visible += exit->isVisible() ? 1 : 0;
  }
  EXPECT_EQ(visible, 1) << "one picture leaves";
  EXPECT_LT(meanDifference(leavingPicture(host), before), 1.0);
}

// Filmed frame by frame on a hand-driven clock, a rescan of unchanged results shows the
// results and nothing else: no frame dims the grid, none shows another screen or state.
TEST_F(ScanTransition, aRescanOfUnchangedResultsNeitherDimsNorShowsAnythingElse) {
  scanOnce();
  settle();
  QWidget *host = view().phaseScreens();
  const QRect area(host->mapTo(window(), QPoint()), host->size());
  filmtest::ManualClock clock;
  std::vector<QImage> frames{filmtest::composed(window())};
  rig.store->retry();
  ASSERT_TRUE(rig.waitForPhase(Kind::ready));
  for (int frame = 0; frame < 40; ++frame) {
    frames.push_back(filmtest::composed(window()));
    // The photo wait gives up after 300 ms of this clock: the clock moves only once the
    // photos asked for are in, so a machine slow to decode them cannot end the wait early.
    ASSERT_TRUE(roottest::waitFor([&] { return !lumora::LoadingImages::anyIn(screen()); }));
    clock.advanceBy(20);
  }
  frames.push_back(filmtest::composed(window()));
  EXPECT_EQ(transition().state(), lumora::ScreenTransition::State::idle);
  const double steady = filmtest::contrast(frames.front(), area);
  ASSERT_GT(steady, 0);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    EXPECT_NEAR(filmtest::contrast(frames[i], area), steady, steady / 5) << "frame " << i;
    EXPECT_LT(filmtest::blendResidual(frames[i], frames.front(), frames.back(), area), 2.0)
        << "frame " << i;
  }
}

// A rescan that finds the results unchanged while the grid is scrolled down takes the list
// back to its top. Filmed frame by frame on a hand-driven clock, every frame shows one place
// of the list: while the picture of the results as they were stands or leaves, the grid
// shows that same place, so no frame shows the place scrolled to and the top at once (two
// month headers, two sets of cards); then the grid alone moves, with no jump.
TEST_F(ScanTransition, aRescanWhileScrolledDownShowsOnePlaceOfTheListInEveryFrame) {
  for (int scene = 0; scene < 10; ++scene) {
    rig.writeBurst("s" + std::to_string(scene) + "-", scene * 7 + 1, 2,
                   1.7e9 + 4 * 86400.0 * scene);
  }
  view(QSize(900, 700));
  rig.store->chooseFolder();
  ASSERT_TRUE(rig.waitForPhase(Kind::ready));
  ASSERT_TRUE(roottest::waitFor([&] { return shown() == ScreenKind::results; }));
  settle();
  auto *results = qobject_cast<lumora::ResultsView *>(screen());
  ASSERT_NE(results, nullptr);
  lumora::ResultsGrid &grid = results->grid();
  ASSERT_GE(grid.sections().size(), 2u);
  // Three rows down, as three presses of Down take the focus there.
  const int scrolled = grid.viewport()->height() * 3 / 2;
  ASSERT_GT(grid.verticalScrollBar()->maximum(), scrolled);
  grid.verticalScrollBar()->setValue(scrolled);
  ASSERT_TRUE(grid.pinnedMonthID().has_value());
  // The month overlay of that scroll has come and gone: the events, however long they take.
  ASSERT_TRUE(roottest::waitFor([&] { return results->hud().showHUD(); }));
  ASSERT_TRUE(
      roottest::waitFor([&] { return !results->hud().showHUD() && !grid.hud().isVisible(); }));
  settle();

  const QRect area(grid.mapTo(window(), QPoint()), grid.size());
  filmtest::ManualClock clock;
  std::vector<QImage> frames;
  std::vector<int> places;
  std::vector<bool> pictured;
  const auto film = [&] {
    frames.push_back(filmtest::composed(window()).copy(area));
    places.push_back(grid.scrollPosition());
    pictured.push_back(transition().picture() != nullptr);
  };
  film();
  rig.store->retry();
  ASSERT_TRUE(rig.waitForPhase(Kind::ready));
  for (int frame = 0; frame < 90; ++frame) {
    film();
    ASSERT_TRUE(roottest::waitFor([&] { return !lumora::LoadingImages::anyIn(screen()); }));
    clock.advanceBy(20);
  }
  film();
  EXPECT_EQ(transition().state(), lumora::ScreenTransition::State::idle);
  EXPECT_EQ(screen(), results);
  EXPECT_EQ(grid.scrollPosition(), 0) << "the list goes back to its top";
  ASSERT_TRUE(std::find(pictured.begin(), pictured.end(), true) != pictured.end());
  for (std::size_t i = 1; i < frames.size(); ++i) {
    if (pictured[i]) {
      EXPECT_LT(meanDifference(frames[i], frames.front()), 1.0) << "frame " << i;
      EXPECT_EQ(places[i], scrolled) << "frame " << i;
    }
    EXPECT_LE(std::abs(places[i] - places[i - 1]), scrolled / 3) << "frame " << i;
  }
}

TEST_F(ScanTransition, aDeletionFromThePreviewLeavesWithThePhotoThatWasDeleted) {
  scanOnce();
  const lumora::PhotoGroup group = rig.store->groups().front();
  rig.store->openPreview(group, group.bestID);
  // Until the preview has grown in with its photo: the event, however long that takes.
  ASSERT_TRUE(roottest::waitFor([&] {
    const auto *preview = qobject_cast<lumora::PhotoPreviewView *>(view().previewView());
    return preview && preview->appearProgress() == 1 &&
           preview->stage()->content() == lumora::PreviewStage::Content::image;
  }));
  roottest::spin(50);
  const QImage before = rgb(LeavingPicture::pictureOf(view().previewView()));
  filmtest::ManualClock clock;
  rig.store->deleteItem(group.items.front());
  ASSERT_TRUE(roottest::waitFor([&] { return !rig.store->previewContext(); }));
  EXPECT_LT(meanDifference(leavingPicture(&view()), before), 1.0);
}
