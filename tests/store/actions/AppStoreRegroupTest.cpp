#include "tests/store/support/StoreFixture.h"

#include <filesystem>

using namespace lumora;
using namespace storetest;
namespace fs = std::filesystem;
using Phase = AppStore::Phase;

namespace {

// Photos a and b share a capture time (one group), c is alone.
std::vector<PhotoItem> trio(const std::string &prefix) {
  return {photo(prefix + "a", 10, 100), photo(prefix + "b", 10, 100), photo(prefix + "c", 10, 500)};
}

} // namespace

class AppStoreRegroup : public StoreFixture {
protected:
  /// A store that finished a folder scan of `items`.
  void finishScanOf(std::vector<PhotoItem> items) {
    const fs::path folder = temp.path() / "photos";
    fs::create_directories(folder);
    pickedFolder = QUrl::fromLocalFile(QString::fromStdString(folder.string()));
    const int index = engine->scanCount(); // before: the scan may start before it returns
    store().chooseFolder();
    ASSERT_TRUE(engine->waitForScans(index + 1));
    engine->finish(index, resultOf(std::move(items)));
    ASSERT_TRUE(waitFor([&] { return store().phase() == Phase::ready(); }));
  }

  testsupport::TempDir temp;
};

TEST_F(AppStoreRegroup, tenThresholdChangesWithinTheDebounceGiveOneComputationWithTheLast) {
  finishScanOf(trio("/p/"));
  const int before = engine->groupCount();
  for (int i = 1; i <= 10; ++i) {
    store().setThreshold(0.30f + 0.01f * static_cast<float>(i));
  }
  EXPECT_TRUE(store().isRegrouping());
  ASSERT_TRUE(waitFor([&] { return !store().isRegrouping(); }));
  spin(150);
  ASSERT_EQ(engine->groupCount(), before + 1);
  EXPECT_FLOAT_EQ(engine->groupCall(before).threshold, 0.30f + 0.01f * 10.0f);
}

TEST_F(AppStoreRegroup, aSortChangeIsRememberedAndAPendingRegroupUsesTheNewSort) {
  finishScanOf(trio("/p/"));
  store().setSelectionAnchorID(std::string("/p/a"));
  const int before = engine->groupCount();
  store().setThreshold(0.4f);
  store().setSort(GroupSort::memberCount);
  EXPECT_EQ(userdefaults::open().value(QStringLiteral("Lumora.groupSort")).toString(),
            QStringLiteral("memberCount"));
  EXPECT_FALSE(store().selectionAnchorID());
  ASSERT_TRUE(waitFor([&] { return !store().isRegrouping(); }));
  spin(150);
  ASSERT_EQ(engine->groupCount(), before + 1);
  EXPECT_EQ(engine->groupCall(before).sort, GroupSort::memberCount);
  EXPECT_FLOAT_EQ(engine->groupCall(before).threshold, 0.4f);
}

TEST_F(AppStoreRegroup, singlesAreDroppedAndTheSelectionFollowsTheSurvivingGroups) {
  finishScanOf(trio("/p/"));
  store().setIsSelecting(true);
  store().setSelectedGroupIDs({"/p/a", "gone"});
  store().setThreshold(0.5f);
  ASSERT_TRUE(waitFor([&] { return !store().isRegrouping(); }));
  EXPECT_EQ(store().selectedGroupIDs(), std::unordered_set<std::string>{"/p/a"});
  EXPECT_TRUE(store().isSelecting());

  // Every group falls apart: selection mode ends and the selection empties.
  engine->setGrouper([](const std::vector<PhotoItem> &items, float, GroupSort) {
    std::vector<PhotoGroup> singles;
    for (const PhotoItem &item : items) {
      singles.emplace_back(item.id, std::vector<PhotoItem>{item});
    }
    return singles;
  });
  store().setSelectionAnchorID(std::string("/p/a"));
  store().setThreshold(0.2f);
  ASSERT_TRUE(waitFor([&] { return !store().isRegrouping(); }));
  EXPECT_TRUE(store().groups().empty());
  EXPECT_FALSE(store().isSelecting());
  EXPECT_TRUE(store().selectedGroupIDs().empty());
  EXPECT_EQ(store().selectionAnchorID(), std::optional<std::string>("/p/a"));
}

TEST_F(AppStoreRegroup, aRegroupRunningWhenAScanStartsIsDropped) {
  finishScanOf(trio("/p/"));
  const std::vector<PhotoGroup> before = store().groups();
  engine->holdGroups();
  store().setThreshold(0.5f);
  ASSERT_TRUE(waitFor([&] { return engine->groupCount() == 2; })); // inside the engine
  store().retry();
  ASSERT_TRUE(engine->waitForScans(2));
  engine->releaseGroups();
  spin(200);
  EXPECT_TRUE(store().groups().empty()); // the rescan reset them; the old result stays out
  EXPECT_FALSE(store().isRegrouping());
}

// A live regroup of the running scan's partial photos must never win over the grouping of
// the finished scan, and none may start once the scan's result is in.
TEST_F(AppStoreRegroup, theFinishedScansGroupingAlwaysWinsOverALiveRegroup) {
  const fs::path folder = temp.path() / "photos";
  fs::create_directories(folder);
  pickedFolder = QUrl::fromLocalFile(QString::fromStdString(folder.string()));
  store().chooseFolder();
  ASSERT_TRUE(engine->waitForScans(1));
  engine->holdGroups();
  engine->deliver(0, {photo("/p/a", 10, 100), photo("/p/b", 10, 100)});
  ASSERT_TRUE(waitFor([&] { return engine->groupCount() == 1; })); // live regroup in flight
  engine->deliver(0, {photo("/p/c", 10, 300), photo("/p/d", 10, 300)});
  advance(std::chrono::seconds(1));
  engine->deliver(0, {photo("/p/e", 10, 900)}); // schedules another live regroup
  ASSERT_TRUE(waitFor([&] { return store().items().size() == 5; }));
  EXPECT_TRUE(store().isRegrouping());
  engine->finish(0, resultOf({photo("/p/x", 10, 700), photo("/p/y", 10, 700)}));
  spin(200); // the pending live regroup would have fired by now
  EXPECT_EQ(engine->groupCount(), 1);
  engine->releaseGroups();
  ASSERT_TRUE(waitFor([&] { return store().phase() == Phase::ready(); }));
  spin(100);
  EXPECT_EQ(engine->groupCount(), 2); // the live one and the final one, nothing after
  EXPECT_EQ(engine->groupCall(1).items.size(), 2u);
  ASSERT_EQ(store().groups().size(), 1u);
  EXPECT_EQ(store().groups()[0].id, "/p/x");
  EXPECT_FALSE(store().isRegrouping());
}

TEST_F(AppStoreRegroup, aSlowRefreshNeverOverwritesALaterThresholdsGroups) {
  const fs::path folder = temp.path() / "photos";
  fs::create_directories(folder);
  pickedFolder = QUrl::fromLocalFile(QString::fromStdString(folder.string()));
  store().chooseFolder();
  ASSERT_TRUE(engine->waitForScans(1));
  engine->deliver(0, trio("/p/"));
  ASSERT_TRUE(waitFor([&] { return store().groups().size() == 1; }));
  // The paused scan's refresh is slow; a threshold change made meanwhile is fast. The
  // refresh was asked for first, so its groups must not be the ones left on screen.
  std::atomic<int> calls = 0;
  engine->setGrouper([&calls](const std::vector<PhotoItem> &items, float threshold, GroupSort) {
    if (calls++ == 0) {
      QThread::msleep(200);
    }
    const std::string id = threshold > 0.45f ? "late" : "early";
    return std::vector<PhotoGroup>{PhotoGroup(id, {items[0], items[1]})};
  });
  store().requestPause();
  ASSERT_TRUE(waitFor([&] { return calls.load() == 1; }));
  store().setThreshold(0.5f);
  ASSERT_TRUE(waitFor([&] { return calls.load() == 2 && !store().isRegrouping(); }));
  spin(100);
  EXPECT_EQ(store().phase(), Phase::ready());
  ASSERT_EQ(store().groups().size(), 1u);
  EXPECT_EQ(store().groups()[0].id, "late");
}
