// The pictures that leave when a scan ends or starts, and when a deletion closes the preview:
// each shows the screen as the user last saw it, never a state of the store's action half
// published (a paused banner nobody asked for, a half-cleared summary, the next photo
// loading).
#include "app/ApplicationScreens.h"
#include "app/shell/components/LoadingImages.h"
#include "app/shell/root/ExitSnapshot.h"
#include "app/shell/root/PhaseScreenHost.h"
#include "app/store/AppStoreStateAccess.h"
#include "tests/shell/root/RootViewFixture.h"
#include "tests/shell/support/FilmedFrames.h"

#include <QElapsedTimer>

using lumora::AppStore;
using lumora::ExitSnapshot;
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
    roottest::spin(300);
  }

  [[nodiscard]] ScreenKind shown() {
    roottest::spin(5);
    return view().phaseScreens()->choice().kind;
  }
  [[nodiscard]] QWidget *screen() { return view().phaseScreens()->screen(); }

  /// The picture leaving `parent` now, or a null image when none does.
  static QImage leavingPicture(QWidget *parent) {
    for (const ExitSnapshot *exit :
         parent->findChildren<ExitSnapshot *>(QString(), Qt::FindDirectChildrenOnly)) {
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
  roottest::spin(300);
  const QImage before = rgb(ExitSnapshot::pictureOf(screen()));
  QWidget *host = view().phaseScreens();
  filmtest::ManualClock clock; // the leaving picture stays while the clock stands
  rig.gate->release();
  ASSERT_TRUE(rig.waitForPhase(Kind::ready));
  ASSERT_EQ(shown(), ScreenKind::results);
  EXPECT_LT(meanDifference(leavingPicture(host), before), 1.0);
}

TEST_F(ScanTransition, theResultsFadeInOnlyOnceTheirPhotosAreThere) {
  scanOnce();
  rescanAndHoldOnLiveResults();
  // The live grid keeps its photos; the results built at the end must load theirs again.
  rig.store->thumbnails().clearCache();
  QWidget *host = view().phaseScreens();
  rig.gate->release();
  ASSERT_TRUE(rig.waitForPhase(Kind::ready));
  bool sawLoading = false;
  bool faded = false;
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 3000) {
    roottest::spin(1);
    const auto *exit = host->findChild<ExitSnapshot *>(QString(), Qt::FindDirectChildrenOnly);
    if (exit == nullptr || view().phaseScreens()->choice().kind != ScreenKind::results) {
      if (faded) {
        break;
      }
      continue;
    }
    const bool loading = lumora::LoadingImages::anyIn(screen());
    sawLoading = sawLoading || loading;
    if (exit->progress() > 0) {
      faded = true;
      // Within the wait's bound: no frame of the fade shows a card without its photos.
      EXPECT_FALSE(loading) << "at " << clock.elapsed() << " ms";
    }
  }
  EXPECT_TRUE(sawLoading);
  EXPECT_TRUE(faded);
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
  roottest::spin(300);
  QWidget *results = screen();
  const QImage before = rgb(ExitSnapshot::pictureOf(results));
  QWidget *host = view().phaseScreens();
  filmtest::ManualClock clock;
  // A store action's first change: the results already follow it, the window must not.
  AppStore::StateAccess(*rig.store).setGroups({});
  const QImage held = leavingPicture(host);
  EXPECT_LT(meanDifference(held, before), 1.0);
  const auto *cover = host->findChild<ExitSnapshot *>(QString(), Qt::FindDirectChildrenOnly);
  ASSERT_NE(cover, nullptr);
  EXPECT_TRUE(cover->isVisible());
  EXPECT_TRUE(cover->geometry().contains(results->geometry()));
  EXPECT_EQ(shown(), ScreenKind::noSimilarGroups);
  EXPECT_LT(meanDifference(leavingPicture(host), before), 1.0);
}

// A rescan of a cached folder can end before its first fade has moved: the results that come
// back must dissolve from what the window shows (the old results), not from the scanning
// screen alone, which had barely begun to show.
TEST_F(ScanTransition, aRescanLeavesWithTheResultsAsShownAlsoWhenItEndsBeforeItsFadeMoves) {
  scanOnce();
  roottest::spin(300);
  const QImage before = rgb(ExitSnapshot::pictureOf(screen()));
  QWidget *host = view().phaseScreens();
  filmtest::ManualClock clock;
  rig.gate->holdAtStart();
  rig.store->retry();
  ASSERT_EQ(shown(), ScreenKind::scanning);
  EXPECT_LT(meanDifference(leavingPicture(host), before), 1.0);
  rig.gate->release();
  ASSERT_TRUE(rig.waitForPhase(Kind::ready));
  ASSERT_EQ(shown(), ScreenKind::results);
  const auto exits = host->findChildren<ExitSnapshot *>(QString(), Qt::FindDirectChildrenOnly);
  int visible = 0;
  for (const ExitSnapshot *exit : exits) {
    visible += exit->isVisible() ? 1 : 0;
  }
  EXPECT_EQ(visible, 1) << "one picture leaves, in place of the earlier one";
  EXPECT_LT(meanDifference(leavingPicture(host), before), 1.0);
}

TEST_F(ScanTransition, aDeletionFromThePreviewLeavesWithThePhotoThatWasDeleted) {
  scanOnce();
  const lumora::PhotoGroup group = rig.store->groups().front();
  rig.store->openPreview(group, group.bestID);
  roottest::spin(1500);
  ASSERT_NE(view().previewView(), nullptr);
  const QImage before = rgb(ExitSnapshot::pictureOf(view().previewView()));
  filmtest::ManualClock clock;
  rig.store->deleteItem(group.items.front());
  ASSERT_TRUE(roottest::waitFor([&] { return !rig.store->previewContext(); }));
  EXPECT_LT(meanDifference(leavingPicture(&view()), before), 1.0);
}
