#include "app/shell/root/ControlsBar.h"
#include "app/shell/root/PhaseScreenHost.h"
#include "app/shell/screens/FailureStateView.h"
#include "app/shell/screens/ScanLiveResultsView.h"
#include "app/shell/transition/EntranceEffect.h"
#include "app/store/services/FolderAccess.h"
#include "tests/shell/root/RootViewFixture.h"
#include "tests/shell/support/FilmedFrames.h"

#include <fstream>
#include <random>

using lumora::AppStore;
using lumora::rootscreen::ScreenKind;
using Kind = AppStore::Phase::Kind;

namespace {

class ContentViewScreens : public roottest::RootViewTest {
protected:
  /// Records every screen the host shows, from the first on.
  void trackScreens() {
    m_seen = {shown()};
    QObject::connect(view().phaseScreens(), &lumora::PhaseScreenHost::screenReplaced, window(),
                     [this] { m_seen.push_back(view().phaseScreens()->choice().kind); });
  }
  /// The screen shown once the store's last change has been followed.
  [[nodiscard]] ScreenKind shown() {
    roottest::spin(5);
    return view().phaseScreens()->choice().kind;
  }
  [[nodiscard]] QWidget *screen() {
    roottest::spin(5);
    return view().phaseScreens()->screen();
  }
  /// One group of `items`, as a finished scan publishes them.
  void publishResults(const std::vector<lumora::PhotoItem> &items) {
    rig.state().setItems(items);
    rig.state().setGroups(storetest::groups(1));
    rig.state().setPhase(AppStore::Phase::ready());
  }
  /// As a scan start publishes: the phase first, then the emptied photos, in one turn.
  void publishScanStart() {
    rig.state().setPhase(AppStore::Phase::scanning());
    rig.state().setItems({});
    rig.state().setGroups({});
  }

  std::vector<ScreenKind> m_seen;
};

/// Files that pass the size filter but decode to nothing.
void writeCorrupt(const std::filesystem::path &folder, int count) {
  std::mt19937 random(7);
  for (int i = 0; i < count; ++i) {
    std::ofstream out(folder / ("broken" + std::to_string(i) + ".jpg"), std::ios::binary);
    for (int b = 0; b < 9000; ++b) {
      out.put(static_cast<char>(random()));
    }
  }
}

} // namespace

TEST_F(ContentViewScreens, startsIdleWithoutARememberedFolder) {
  EXPECT_EQ(shown(), ScreenKind::idle);
  EXPECT_TRUE(rig.store->didBootstrap());
}

TEST_F(ContentViewScreens, scansTheRememberedFolderWhenFirstShown) {
  rig.writeBurst("a", 1, 3);
  lumora::userdefaults::open().setValue(
      lumora::userdefaults::key(lumora::FolderAccess::kLastFolderPathKey),
      QString::fromStdString(rig.photos.string()));
  view();
  ASSERT_TRUE(rig.waitForPhase(Kind::ready));
  ASSERT_TRUE(roottest::waitFor([&] { return shown() == ScreenKind::results; }));
}

TEST_F(ContentViewScreens, aRealScanGoesFromTheCardToTheResults) {
  rig.writeBurst("a", 1, 3);
  rig.writeBurst("b", 2, 3, 1.8e9);
  trackScreens();
  rig.store->chooseFolder();
  ASSERT_TRUE(rig.waitForPhase(Kind::ready));
  ASSERT_TRUE(roottest::waitFor([&] { return shown() == ScreenKind::results; }));
  ASSERT_GE(m_seen.size(), 3u);
  EXPECT_EQ(m_seen[1], ScreenKind::scanning);
  for (std::size_t i = 2; i + 1 < m_seen.size(); ++i) {
    EXPECT_EQ(m_seen[i], ScreenKind::liveResults); // at most the live screen in between
  }
  EXPECT_EQ(view().phaseScreens()->replacementCount(), static_cast<int>(m_seen.size()) - 1);
}

// A rescan keeps the results still while it may end quickly: one that does (a cached folder)
// ends on the same results, never showing the card for a few frames; one that takes longer
// shows the card, then the live results at the first batch. The wait runs on the animation
// clock, which stands here until the test moves it.
TEST_F(ContentViewScreens, aRescanShowsTheCardAndTheLiveResultsOnlyWhenItDoesNotEndQuickly) {
  publishResults({storetest::photo("/p/a"), storetest::photo("/p/b")});
  trackScreens();
  filmtest::ManualClock clock;
  const auto finish = [&] { publishResults({storetest::photo("/p/a")}); };
  QWidget *results = screen();
  publishScanStart();
  EXPECT_EQ(shown(), ScreenKind::results);
  EXPECT_EQ(view().phaseScreens()->transition().state(), lumora::ScreenTransition::State::held);
  finish();
  EXPECT_EQ(shown(), ScreenKind::results);
  EXPECT_EQ(screen(), results);
  EXPECT_NE(view().phaseScreens()->transition().state(), lumora::ScreenTransition::State::held);

  publishScanStart();
  EXPECT_EQ(shown(), ScreenKind::results);
  clock.advanceBy(lumora::PhaseScreenHost::kQuickScanMs + 20);
  EXPECT_EQ(shown(), ScreenKind::scanning);
  rig.state().setItems({storetest::photo("/p/a")});
  EXPECT_EQ(shown(), ScreenKind::liveResults);
  finish();
  const std::vector<ScreenKind> expected{ScreenKind::results, ScreenKind::scanning,
                                         ScreenKind::liveResults, ScreenKind::results};
  EXPECT_EQ(shown(), ScreenKind::results);
  EXPECT_EQ(m_seen, expected);
}

// A cached folder may hand over its first photos before the screen follows the scan's start:
// the results wait for a quick end all the same, and give way to the live results (not the
// card) once the wait is over.
TEST_F(ContentViewScreens, aRescanWhoseFirstPhotosComeAtOnceStillMayEndQuickly) {
  publishResults({storetest::photo("/p/a"), storetest::photo("/p/b")});
  trackScreens();
  filmtest::ManualClock clock;
  const auto rescanWithFirstBatch = [&] {
    publishScanStart();
    rig.state().setItems({storetest::photo("/p/a")});
  };
  QWidget *results = screen();
  rescanWithFirstBatch();
  EXPECT_EQ(shown(), ScreenKind::results);
  EXPECT_EQ(view().phaseScreens()->transition().state(), lumora::ScreenTransition::State::held);
  publishResults({storetest::photo("/p/a")});
  EXPECT_EQ(shown(), ScreenKind::results);
  EXPECT_EQ(screen(), results);

  rescanWithFirstBatch();
  EXPECT_EQ(shown(), ScreenKind::results);
  clock.advanceBy(lumora::PhaseScreenHost::kQuickScanMs + 20);
  EXPECT_EQ(shown(), ScreenKind::liveResults);
  const std::vector<ScreenKind> expected{ScreenKind::results, ScreenKind::liveResults};
  EXPECT_EQ(m_seen, expected);
}

// The quick-end wait runs out and the live results are built beneath the picture of the
// results; the scan ends before their photos let that picture go. The user never saw the
// live banner, so the results come in place: nothing moves by the banner's height (the
// picture of the old results sliding up while the new ones rise from below).
TEST_F(ContentViewScreens, aScanEndingBeforeTheLiveResultsShowedMovesNothingByTheirBanner) {
  publishResults({storetest::photo("/p/a"), storetest::photo("/p/b")});
  filmtest::ManualClock clock;
  ASSERT_NE(screen(), nullptr);
  publishScanStart();
  rig.state().setItems({storetest::photo("/p/a"), storetest::photo("/p/b")});
  rig.state().setGroups(storetest::groups(1)); // the live grid shows under the banner
  ASSERT_EQ(shown(), ScreenKind::results);
  // No turn of the event loop between the two: the live results' photo wait never starts.
  clock.advanceBy(lumora::PhaseScreenHost::kQuickScanMs + 20);
  const auto *live = qobject_cast<lumora::ScanLiveResultsView *>(view().phaseScreens()->screen());
  ASSERT_NE(live, nullptr);
  ASSERT_NE(live->grid(), nullptr);
  ASSERT_GT(live->grid()->mapTo(live, QPoint()).y(), 0) << "a banner the move could use";
  ASSERT_TRUE(lumora::ScreenTransition::standsStill(view().phaseScreens()->transition().state()));
  publishResults({storetest::photo("/p/a")});
  ASSERT_EQ(shown(), ScreenKind::results);
  const auto *entrance = qobject_cast<lumora::EntranceEffect *>(screen()->graphicsEffect());
  EXPECT_TRUE(entrance == nullptr || entrance->shift().isNull())
      << "the results rise by " << entrance->shift().y();
}

TEST_F(ContentViewScreens, corruptFilesEndEmptyAndDistinctPhotosEndWithoutGroups) {
  writeCorrupt(rig.photos, 3);
  view();
  rig.store->chooseFolder();
  ASSERT_TRUE(rig.waitForPhase(Kind::ready));
  EXPECT_EQ(shown(), ScreenKind::emptyResults);
  for (int seed = 1; seed <= 3; ++seed) {
    rig.writeBurst("s" + std::to_string(seed), seed * 11, 1, 1.7e9 + seed * 1e6);
  }
  rig.store->retry();
  ASSERT_TRUE(roottest::waitFor([&] { return shown() == ScreenKind::noSimilarGroups; }));
}

TEST_F(ContentViewScreens, pausedShowsTheLiveScreenEvenWithoutPhotos) {
  view();
  rig.state().setPhase(AppStore::Phase::ready());
  rig.state().setIsPaused(true);
  EXPECT_EQ(shown(), ScreenKind::liveResults);
}

TEST_F(ContentViewScreens, aSecondFailureOfTheSameKindKeepsItsScreen) {
  using Failure = AppStore::Failure;
  view();
  rig.state().setPhase(AppStore::Phase::failed({Failure::Kind::noImages, "一", "first"}));
  QWidget *before = screen();
  EXPECT_EQ(shown(), ScreenKind::failure);
  const int replaced = view().phaseScreens()->replacementCount();
  rig.state().setPhase(AppStore::Phase::failed({Failure::Kind::noImages, "二", "second"}));
  EXPECT_EQ(screen(), before);
  EXPECT_EQ(view().phaseScreens()->replacementCount(), replaced);
  auto *failure = qobject_cast<lumora::FailureStateView *>(screen());
  ASSERT_NE(failure, nullptr);
  EXPECT_EQ(failure->failure().title, QStringLiteral("二"));
  EXPECT_EQ(failure->failure().message, QStringLiteral("second"));
  rig.state().setPhase(AppStore::Phase::failed({Failure::Kind::other, "三", "third"}));
  EXPECT_NE(screen(), before);
}

TEST_F(ContentViewScreens, signalsThatKeepTheTokenKeepTheScreenWidget) {
  view();
  rig.state().setItems({storetest::photo("/p/a"), storetest::photo("/p/b")});
  rig.state().setGroups(storetest::groups(2));
  rig.state().setPhase(AppStore::Phase::ready());
  QWidget *before = screen();
  rig.state().setGroups(storetest::groups(3));
  rig.state().setItems({storetest::photo("/p/c")});
  rig.state().setIsRegrouping(true);
  EXPECT_EQ(screen(), before);
}

TEST_F(ContentViewScreens, aDetailIdNamingNoGroupShowsTheBars) {
  view();
  rig.state().setGroups(storetest::groups(2));
  rig.store->setDetailGroupID(std::string("missing"));
  EXPECT_EQ(view().detailView(), nullptr);
  ASSERT_NE(view().controlsBar(), nullptr);
  rig.store->setDetailGroupID(rig.store->groups().back().id);
  ASSERT_NE(view().detailView(), nullptr);
  EXPECT_EQ(view().controlsBar(), nullptr); // not built at all under the detail
  EXPECT_EQ(view().detailView()->objectName(), QStringLiteral("GroupDetailPlaceholder"));
  rig.state().setGroups(storetest::groups(1)); // the shown group is gone
  EXPECT_EQ(view().detailView(), nullptr);
  EXPECT_NE(view().controlsBar(), nullptr);
  EXPECT_TRUE(rig.store->detailGroupID().has_value());
}
