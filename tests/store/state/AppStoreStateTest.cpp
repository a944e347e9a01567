#include "tests/store/support/StoreFixture.h"

#include "app/store/texts/Fmt.h"

#include <limits>

using namespace lumora;
using namespace storetest;
using Phase = AppStore::Phase;
using Failure = AppStore::Failure;

namespace {

ScanProgress progressOf(ScanPhase phase, std::int64_t done, std::int64_t total,
                        std::optional<double> eta = std::nullopt) {
  ScanProgress progress;
  progress.phase = phase;
  progress.done = done;
  progress.total = total;
  progress.eta = eta;
  return progress;
}

} // namespace

using AppStoreState = StoreFixture;

TEST_F(AppStoreState, startsIdleWithTheDocumentedDefaults) {
  EXPECT_EQ(store().phase(), Phase::idle());
  EXPECT_EQ(store().sourceKind(), AppStore::SourceKind::folder);
  EXPECT_FALSE(store().folderURL());
  EXPECT_FLOAT_EQ(store().threshold(), 0.30f);
  EXPECT_EQ(store().infoInitialTab(), AppStore::InfoTab::about);
  EXPECT_EQ(store().sort(), GroupSort::date);
  EXPECT_FALSE(store().didBootstrap());
  EXPECT_EQ(engine->scanCount(), 0);
}

TEST_F(AppStoreState, initialSortComesFromTheStoredValueAndOnlyMemberCountCounts) {
  userdefaults::open().setValue(QStringLiteral("Lumora.groupSort"), QStringLiteral("memberCount"));
  EXPECT_EQ(makeStore()->sort(), GroupSort::memberCount);
  userdefaults::open().setValue(QStringLiteral("Lumora.groupSort"), QStringLiteral("size"));
  EXPECT_EQ(makeStore()->sort(), GroupSort::date);
}

TEST_F(AppStoreState, settersSignalOnlyWhenTheValueChanges) {
  SignalCounter phase(&store(), &AppStore::phaseChanged);
  SignalCounter items(&store(), &AppStore::itemsChanged);
  SignalCounter alert(&store(), &AppStore::alertChanged);
  state().setPhase(Phase::idle());
  state().setItems({});
  store().setAlert(std::nullopt);
  EXPECT_EQ(phase.count() + items.count() + alert.count(), 0);

  state().setPhase(Phase::failed({Failure::Kind::other, QStringLiteral("a"), QStringLiteral("b")}));
  state().setPhase(Phase::failed({Failure::Kind::other, QStringLiteral("a"), QStringLiteral("b")}));
  state().setPhase(Phase::failed({Failure::Kind::other, QStringLiteral("a"), QStringLiteral("c")}));
  EXPECT_EQ(phase.count(), 2); // a failure with another message is another phase
  state().setItems({photo("/p/1.jpg")});
  state().setItems({photo("/p/1.jpg")});
  EXPECT_EQ(items.count(), 1);
  AppStore::AlertContent content;
  store().setAlert(content);
  store().setAlert(content);
  store().setAlert(AppStore::AlertContent{}); // a new alert has a new id
  EXPECT_EQ(alert.count(), 2);
}

TEST_F(AppStoreState, sameThresholdOrSortStartsNoRegroupAndWritesNothing) {
  store().setSelectionAnchorID(std::string("g1"));
  store().setThreshold(0.30f);
  store().setSort(GroupSort::date);
  EXPECT_FALSE(store().isRegrouping());
  EXPECT_EQ(store().selectionAnchorID(), std::optional<std::string>("g1"));
  EXPECT_FALSE(userdefaults::open().contains(QStringLiteral("Lumora.groupSort")));
  spin(150);
  EXPECT_EQ(engine->groupCount(), 0);
}

TEST_F(AppStoreState, scannedTotalFallsThroughProgressResultAndItems) {
  state().setItems({photo("/p/1.jpg"), photo("/p/2.jpg")});
  EXPECT_EQ(store().scannedTotalCount(), 2);
  ScanResult result = resultOf({});
  result.fileCount = 0;
  state().setLastResult(result);
  EXPECT_EQ(store().scannedTotalCount(), 2);
  result.fileCount = 9;
  state().setLastResult(result);
  state().setProgress(progressOf(ScanPhase::analyzing, 1, 0));
  EXPECT_EQ(store().scannedTotalCount(), 9);
  state().setProgress(progressOf(ScanPhase::analyzing, 1, 40));
  EXPECT_EQ(store().scannedTotalCount(), 40);
}

TEST_F(AppStoreState, totalsSaturateAndTheBatchWaitsForAnyCleanup) {
  std::vector<PhotoGroup> list{group("a", 3, 100), group("b", 2, 50), group("c", 4, 10)};
  state().setGroups(list);
  store().setSelectedGroupIDs({"c0", "a0", "missing"});
  EXPECT_EQ(store().selectedVictimCount(), 2 + 3);
  EXPECT_EQ(store().totalCleanableCount(), 2 + 1 + 3);
  EXPECT_EQ(store().totalReclaimableBytes(), 200 + 50 + 30);

  EXPECT_FALSE(store().canCleanupSelection());
  store().setIsSelecting(true);
  EXPECT_TRUE(store().canCleanupSelection());
  state().setCleaningGroupID(std::string("b0"));
  EXPECT_FALSE(store().canCleanupSelection());
  state().setCleaningGroupID(std::nullopt);
  state().setIsCleaningSelection(true);
  EXPECT_TRUE(store().isCleaningSelection());
  EXPECT_FALSE(store().canCleanupSelection());
  // Sizes from a damaged cache: the totals saturate and never go negative.
  const std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  state().setGroups({group("h", 2, kMax), group("i", 2, kMax), group("n", 2, -5)});
  EXPECT_EQ(store().totalReclaimableBytes(), kMax);
  state().setGroups({group("n", 3, -5)});
  EXPECT_EQ(store().totalReclaimableBytes(), 0);
}

TEST_F(AppStoreState, selectionAndFocusSignalAsTheirFieldsChange) {
  state().setGroups(groups(3));
  store().enterSelectionMode();
  store().selectAllGroups();
  std::vector<std::string> seen;
  QObject::connect(&store(), &AppStore::isSelectingChanged, &store(), [&] {
    seen.push_back("mode, " + std::to_string(store().selectedGroupIDs().size()) + " selected");
  });
  QObject::connect(&store(), &AppStore::selectedGroupIDsChanged, &store(),
                   [&] { seen.emplace_back("ids"); });
  store().exitSelectionMode();
  EXPECT_EQ(seen, (std::vector<std::string>{"mode, 3 selected", "ids"}));

  SignalCounter focus(&store(), &AppStore::focusedGroupIDChanged);
  SignalCounter photoFocus(&store(), &AppStore::focusedPhotoIDChanged);
  SignalCounter confirm(&store(), &AppStore::isBatchConfirmPresentedChanged);
  SignalCounter cleaning(&store(), &AppStore::isCleaningSelectionChanged);
  store().focusLastGroup();
  store().focusStep(0, -1, 4);
  store().openDetail(store().groups().front());
  store().setIsBatchConfirmPresented(true);
  state().setIsCleaningSelection(true);
  EXPECT_EQ(store().focusedGroupID(), store().groups()[1].id);
  EXPECT_EQ(store().focusedPhotoID(), store().groups()[0].items[0].id);
  EXPECT_EQ(focus.count(), 2);
  EXPECT_EQ(photoFocus.count() + confirm.count() + cleaning.count(), 3);
}

TEST_F(AppStoreState, aFocusedGroupThatLeavesHandsTheFocusToTheOneInItsPlace) {
  const std::vector<PhotoGroup> all = groups(3);
  state().setGroups(all);
  store().setFocusedGroupID(all[1].id);
  state().setGroups({all[0], all[2]});
  EXPECT_EQ(store().focusedGroupID(), all[2].id);
  state().setGroups({all[0]});
  EXPECT_EQ(store().focusedGroupID(), all[0].id);
  // The focus stays where it is while its group stays, and with no group left.
  state().setGroups(all);
  EXPECT_EQ(store().focusedGroupID(), all[0].id);
  state().setGroups({});
  EXPECT_EQ(store().focusedGroupID(), all[0].id);
}

TEST_F(AppStoreState, progressHeadlineFollowsPhaseSourceAndRemainingTime) {
  EXPECT_EQ(store().progressHeadline(), QStringLiteral("正在准备…"));
  state().setProgress(progressOf(ScanPhase::enumerating, 0, 0));
  EXPECT_EQ(store().progressHeadline(), QStringLiteral("正在查找照片文件…"));
  state().setProgress(progressOf(ScanPhase::enumerating, 1234, 0));
  EXPECT_EQ(store().progressHeadline(),
            QStringLiteral("已找到 %1 张照片，正在准备分析…").arg(Fmt::number(1234)));
  state().setSourceKind(AppStore::SourceKind::library);
  EXPECT_EQ(store().progressHeadline(),
            QStringLiteral("已读取 %1 张图库照片，正在准备分析…").arg(Fmt::number(1234)));
  state().setProgress(progressOf(ScanPhase::enumerating, 0, 0));
  EXPECT_EQ(store().progressHeadline(), QStringLiteral("正在读取「照片」图库…"));
  state().setProgress(progressOf(ScanPhase::analyzing, 0, 0));
  EXPECT_EQ(store().progressHeadline(), QStringLiteral("正在分析照片…"));
  state().setProgress(progressOf(ScanPhase::analyzing, 56, 120));
  EXPECT_EQ(store().progressHeadline(), QStringLiteral("正在分析 56 / 120 · 正在估算剩余时间"));
  state().setProgress(progressOf(ScanPhase::analyzing, 56, 120, 42.0));
  EXPECT_EQ(store().progressHeadline(),
            QStringLiteral("正在分析 56 / 120 · 预计剩余 ") + Fmt::duration(42.0));
  state().setSmoothedETA(300.0);
  EXPECT_EQ(store().progressHeadline(),
            QStringLiteral("正在分析 56 / 120 · 预计剩余 ") + Fmt::duration(300.0));
  state().setProgress(progressOf(ScanPhase::finishing, 120, 120));
  EXPECT_EQ(store().progressHeadline(), QStringLiteral("正在整理分组结果…"));
}

TEST_F(AppStoreState, phaseTokenSpellsPhaseFailureAndReadyFlags) {
  EXPECT_EQ(store().phaseToken(), QStringLiteral("idle"));
  state().setPhase(Phase::scanning());
  EXPECT_EQ(store().phaseToken(), QStringLiteral("scanning"));
  state().setPhase(Phase::failed({Failure::Kind::libraryDenied, {}, {}}));
  EXPECT_EQ(store().phaseToken(), QStringLiteral("failed-libraryDenied"));
  state().setPhase(Phase::ready());
  EXPECT_EQ(store().phaseToken(), QStringLiteral("ready-false-true-true"));
  state().setItems({photo("/p/1.jpg")});
  EXPECT_EQ(store().phaseToken(), QStringLiteral("ready-false-false-true"));
  state().setGroups(groups(1));
  state().setIsPaused(true);
  EXPECT_EQ(store().phaseToken(), QStringLiteral("ready-true-false-false"));
}

TEST_F(AppStoreState, previewItemAndPositionFollowTheContextAndItsGroup) {
  EXPECT_FALSE(store().previewItem());
  EXPECT_EQ(store().previewPositionText(), QString());
  state().setGroups({group("a", 7)});
  store().setPreviewContext(AppStore::PreviewContext{QUuid::createUuid(), "a0", 2});
  ASSERT_TRUE(store().previewItem());
  EXPECT_EQ(store().previewItem()->id, "a2");
  EXPECT_EQ(store().previewPositionText(), QStringLiteral("3 / 7"));
  store().setPreviewContext(AppStore::PreviewContext{QUuid::createUuid(), "a0", 7});
  EXPECT_FALSE(store().previewItem());
  EXPECT_EQ(store().previewPositionText(), QStringLiteral("8 / 7")); // not compared
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  store().setPreviewContext(AppStore::PreviewContext{QUuid::createUuid(), "a0", kMax});
  EXPECT_EQ(store().previewPositionText(), QString::number(kMax) + QStringLiteral(" / 7"));
  store().setPreviewContext(AppStore::PreviewContext{QUuid::createUuid(), "a0", -1});
  EXPECT_FALSE(store().previewItem());
  state().setGroups({});
  EXPECT_FALSE(store().previewItem());
  EXPECT_EQ(store().previewPositionText(), QString());
}

// A view that keeps a picture of the old groups pins the count shown as it hears of new
// ones; the count follows once every pin is gone, an owner's end among them.
TEST_F(AppStoreState, theGroupCountShownWaitsForEveryPinAndFollowsAfterTheNews) {
  SignalCounter shown(&store(), &AppStore::groupCountShownChanged);
  const std::vector<PhotoGroup> all = groups(3);
  state().setGroups(all);
  EXPECT_EQ(store().groupCountShown(), 3u);
  EXPECT_EQ(shown.count(), 1);

  QObject grid;
  auto screen = std::make_unique<QObject>();
  std::size_t heardDuringNews = 0;
  const auto news = QObject::connect(&store(), &AppStore::groupsChanged, &grid, [&] {
    heardDuringNews = store().groupCountShown();
    store().pinGroupCountShown(&grid, true);
  });
  state().setGroups({all[0]});
  QObject::disconnect(news);
  EXPECT_EQ(heardDuringNews, 3u);
  EXPECT_EQ(store().groupCountShown(), 3u);
  store().pinGroupCountShown(screen.get(), true);
  state().setGroups({all[0], all[1]});
  store().pinGroupCountShown(&grid, false);
  EXPECT_EQ(store().groupCountShown(), 3u);
  EXPECT_EQ(shown.count(), 1);
  screen.reset();
  EXPECT_EQ(store().groupCountShown(), 2u);
  EXPECT_EQ(shown.count(), 2);
}

TEST_F(AppStoreState, scrollActivityPublishesOnceAndEndsAfterTheLastCall) {
  SignalCounter scrolling(&store(), &AppStore::isScrollingChanged);
  // Back to back, with the posted events handled between them: a pause between the calls
  // would have to stay shorter than the idle time, which a busy machine cannot promise.
  for (int i = 0; i < 5; ++i) {
    store().noteScrollActivity();
    QCoreApplication::processEvents();
  }
  EXPECT_TRUE(store().isScrolling());
  EXPECT_EQ(scrolling.count(), 1);
  ASSERT_TRUE(waitFor([&] { return !store().isScrolling(); }));
  EXPECT_EQ(scrolling.count(), 2);
}
