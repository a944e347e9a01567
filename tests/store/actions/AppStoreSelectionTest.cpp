// Multi-select and the batch clean-up over the hand-driven engine.
#include "tests/store/support/RemovalFixture.h"

using namespace lumora;
using namespace storetest;
using IdSet = std::unordered_set<std::string>;

namespace {

// Groups /g/A0–A1 … /g/E0–E1, in that order, and a third photo in /g/A.
std::vector<PhotoItem> fiveGroups() {
  std::vector<PhotoItem> items;
  double captured = 100;
  for (const char letter : std::string("ABCDE")) {
    const std::string prefix = std::string("/g/") + letter;
    items.push_back(photo(prefix + "0", 10, captured));
    items.push_back(photo(prefix + "1", 10, captured));
    captured += 100;
  }
  items.push_back(photo("/g/A2", 10, 100));
  return items;
}

EngineError trashFull() { return EngineError::file(QStringLiteral("废纸篓已满")); }

} // namespace

class AppStoreSelection : public RemovalFixture {
protected:
  void selecting() {
    finishFolderScan(fiveGroups());
    store().enterSelectionMode();
    ASSERT_TRUE(store().isSelecting());
  }
  PhotoGroup at(char letter) { return groupWith(std::string("/g/") + letter + "0"); }
  void tap(char letter, bool shift) { store().groupTapped(at(letter), shift); }
  static IdSet ids(const std::string &letters) {
    IdSet set;
    for (const char letter : letters) {
      set.insert(std::string("/g/") + letter + "0");
    }
    return set;
  }
  bool waitForBatch() {
    return waitFor([this] { return !store().isCleaningSelection(); });
  }
};

TEST_F(AppStoreSelection, shiftClicksExtendFromAFixedAnchorAndOtherwiseToggle) {
  selecting();
  tap('B', false);
  tap('D', true);
  EXPECT_EQ(store().selectedGroupIDs(), ids("BCD"));
  tap('A', true);
  EXPECT_EQ(store().selectedGroupIDs(), ids("ABCD"));
  EXPECT_EQ(store().selectionAnchorID(), std::optional<std::string>("/g/B0"));

  // Without an anchor a shift-click toggles and anchors; an anchor whose group is gone too.
  store().exitSelectionMode();
  EXPECT_FALSE(store().selectionAnchorID());
  store().enterSelectionMode();
  tap('C', true);
  EXPECT_EQ(store().selectedGroupIDs(), ids("C"));
  EXPECT_EQ(store().selectionAnchorID(), std::optional<std::string>("/g/C0"));
  store().setSelectionAnchorID(std::string("/g/gone"));
  tap('E', true);
  EXPECT_EQ(store().selectedGroupIDs(), ids("CE"));
  tap('E', false);
  EXPECT_EQ(store().selectedGroupIDs(), ids("C"));
}

TEST_F(AppStoreSelection, selectAllAnchorsTheLastGroupAndTheModeHasItsRules) {
  selecting();
  store().selectAllGroups();
  EXPECT_EQ(store().selectedGroupIDs(), ids("ABCDE"));
  EXPECT_EQ(store().selectionAnchorID(), std::optional<std::string>("/g/E0"));
  tap('A', true);
  EXPECT_EQ(store().selectedGroupIDs(), ids("ABCDE"));

  // Entering again keeps the selection; leaving forgets it; outside the mode clicks are ignored.
  store().enterSelectionMode();
  EXPECT_EQ(store().selectedGroupIDs().size(), 5u);
  store().exitSelectionMode();
  store().toggleSelection(at('A'));
  store().selectAllGroups();
  tap('B', true);
  EXPECT_TRUE(store().selectedGroupIDs().empty());
  EXPECT_FALSE(store().selectionAnchorID());

  // An anchor left from before serves the first shift-click of the next round.
  store().setSelectionAnchorID(std::string("/g/B0"));
  store().enterSelectionMode();
  tap('C', true);
  EXPECT_EQ(store().selectedGroupIDs(), ids("BC"));

  // Not while scanning, not without groups.
  store().exitSelectionMode();
  store().chooseFolder();
  ASSERT_TRUE(engine->waitForScans(2));
  store().enterSelectionMode();
  EXPECT_FALSE(store().isSelecting());
  engine->finish(1, resultOf({photo("/g/lonely", 10, 100)}));
  ASSERT_TRUE(waitFor([&] { return store().phase() == AppStore::Phase::ready(); }));
  store().enterSelectionMode();
  EXPECT_FALSE(store().isSelecting());
}

TEST_F(AppStoreSelection, aBatchDeletesEveryOtherPhotoInOneCallAndEndsTheMode) {
  selecting();
  tap('A', false);
  tap('B', false);
  EXPECT_EQ(store().selectedVictimCount(), 3);
  removal->holdRemovals();
  store().cleanupSelected();
  EXPECT_TRUE(store().isCleaningSelection());
  store().cleanupSelected(); // blocked while the first runs
  removal->releaseRemovals();
  ASSERT_TRUE(waitForBatch());

  ASSERT_EQ(removal->deleteCount(), 1);
  std::vector<std::string> victims;
  for (const PhotoItem &item : removal->deleteCall(0)) {
    victims.push_back(item.id);
  }
  EXPECT_EQ(victims, (std::vector<std::string>{"/g/A1", "/g/A2", "/g/B1"}));
  EXPECT_EQ(store().items().size(), 8u);
  EXPECT_EQ(store().trashedCount(), 3);
  EXPECT_EQ(store().groups().size(), 3u);
  EXPECT_FALSE(store().isSelecting());
  EXPECT_TRUE(store().selectedGroupIDs().empty());
  ASSERT_TRUE(store().undoToast());
  EXPECT_EQ(store().undoToast()->message, QStringLiteral("已清理 3 张"));
  EXPECT_TRUE(store().undoToast()->canUndo);
}

TEST_F(AppStoreSelection, aPhotoInTwoSelectedGroupsIsDeletedOnce) {
  // Two groups that share their second photo.
  engine->setGrouper([](const std::vector<PhotoItem> &items, float, GroupSort) {
    std::vector<PhotoGroup> list;
    if (items.size() == 3) {
      list.emplace_back(items[0].id, std::vector<PhotoItem>{items[0], items[1]});
      list.emplace_back(items[2].id, std::vector<PhotoItem>{items[2], items[1]});
    }
    return list;
  });
  finishFolderScan({photo("/s/x"), photo("/s/shared"), photo("/s/y")});
  store().enterSelectionMode();
  store().selectAllGroups();
  store().cleanupSelected();
  ASSERT_TRUE(waitForBatch());
  ASSERT_EQ(removal->deleteCount(), 1);
  EXPECT_EQ(removal->deleteCall(0), (std::vector<PhotoItem>{photo("/s/shared")}));
  EXPECT_EQ(store().undoToast()->message, QStringLiteral("已清理 1 张"));
}

TEST_F(AppStoreSelection, aFailedBatchAlertsWithoutRetryAndStillEndsTheMode) {
  selecting();
  store().selectAllGroups();
  removal->stopDeletions(RemovalEngineClient::StopPartWay{0, trashFull()});
  store().cleanupSelected();
  ASSERT_TRUE(waitForBatch());
  EXPECT_EQ(store().items().size(), 11u);
  EXPECT_EQ(store().groups().size(), 5u);
  EXPECT_FALSE(store().isSelecting());
  EXPECT_FALSE(store().undoToast());
  ASSERT_TRUE(store().alert());
  EXPECT_EQ(store().alert()->title, localized::string("批量清理失败"));
  EXPECT_EQ(store().alert()->message,
            trashFull().message + QStringLiteral("\n\n可以稍后重试，或在文件管理器里手动处理。"));
  EXPECT_FALSE(store().alert()->showsRetryButton);
  EXPECT_FALSE(store().alert()->showsSettingsButton);
}

TEST_F(AppStoreSelection, aBatchStoppedPartWayRemovesWhatMovedAndOffersItsUndo) {
  selecting();
  store().selectAllGroups();
  removal->stopDeletions(RemovalEngineClient::StopPartWay{3, trashFull()});
  store().cleanupSelected();
  ASSERT_TRUE(waitForBatch());
  EXPECT_EQ(store().items().size(), 8u);
  EXPECT_EQ(store().trashedCount(), 3);
  ASSERT_TRUE(store().undoToast());
  EXPECT_EQ(store().undoToast()->message, QStringLiteral("已清理 3 张"));
  EXPECT_EQ(store().undoToast()->receipt->trashedFiles.size(), 3u);
  ASSERT_TRUE(store().alert());
  EXPECT_EQ(store().alert()->title, localized::string("批量清理失败"));
}

TEST_F(AppStoreSelection, aConfirmationOverPhotosThatChangedSinceDeletesNothing) {
  selecting();
  tap('A', false);
  tap('B', false);
  const std::vector<std::string> shown = store().selectedVictimIDs();
  EXPECT_EQ(shown, (std::vector<std::string>{"/g/A1", "/g/A2", "/g/B1"}));

  // A regroup lands while the dialog is open and gives group A a photo never counted.
  std::vector<PhotoGroup> regrouped = store().groups();
  regrouped[0].items.push_back(photo("/g/C1", 10, 300));
  AppStore::StateAccess(store()).setGroups(regrouped);
  store().cleanupSelected(shown);
  EXPECT_EQ(removal->deleteCount(), 0);
  ASSERT_TRUE(store().alert());
  EXPECT_EQ(store().alert()->title, QStringLiteral("所选的照片已经变了"));
  EXPECT_TRUE(store().isSelecting());

  // Confirming exactly what is selected now goes through.
  store().cleanupSelected(store().selectedVictimIDs());
  ASSERT_TRUE(waitForBatch());
  ASSERT_EQ(removal->deleteCount(), 1);
  EXPECT_EQ(removal->deleteCall(0).size(), 4u);
}

TEST_F(AppStoreSelection, aScanBegunWhileSelectingEndsTheModeAndClosesTheConfirmation) {
  selecting();
  store().selectAllGroups();
  store().setIsBatchConfirmPresented(true);
  store().chooseFolder();
  EXPECT_FALSE(store().isSelecting());
  EXPECT_TRUE(store().selectedGroupIDs().empty());
  EXPECT_FALSE(store().isBatchConfirmPresented());
  EXPECT_FALSE(store().canCleanupSelection());

  // The new scan's groups carry the same ids, yet none of them is selected.
  ASSERT_TRUE(engine->waitForScans(2));
  engine->finish(1, resultOf(fiveGroups()));
  ASSERT_TRUE(waitFor([&] { return store().phase() == AppStore::Phase::ready(); }));
  EXPECT_TRUE(store().selectedGroupIDs().empty());
}
