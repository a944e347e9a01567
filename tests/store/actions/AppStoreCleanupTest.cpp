// Group clean-up and single delete over the hand-driven engine.
#include "app/store/texts/Texts.h"
#include "tests/store/support/RemovalFixture.h"

#include <QElapsedTimer>

using namespace lumora;
using namespace storetest;
using Ids = std::vector<std::string>;

namespace {

const QString kFolderAdvice = QStringLiteral("\n\n可以稍后重试，或在文件管理器里手动处理。");
const QString kLibraryAdvice = QStringLiteral("\n\n可以稍后再试，或在「照片」图库里手动删除。");

EngineError trashFull() { return EngineError::file(QStringLiteral("废纸篓已满")); }

} // namespace

class AppStoreCleanup : public RemovalFixture {};

TEST_F(AppStoreCleanup, aGroupOfThreeLosesAllButItsBestPlaysItsExitAndOffersUndo) {
  finishFolderScan(scene());
  removal->holdRemovals();
  store().cleanup(groupWith("/p/a0"));
  EXPECT_EQ(store().cleaningGroupID(), std::optional<std::string>("/p/a0"));

  // One clean-up at a time; a group without other photos has nothing to clean.
  store().cleanup(groupWith("/p/b0"));
  store().cleanup("/p/c", {"/p/c"});
  ASSERT_TRUE(waitFor([&] { return removal->deleteCount() == 1; }));
  spin(30);
  EXPECT_EQ(removal->deleteCount(), 1);
  EXPECT_EQ(removal->deleteCall(0), (std::vector<PhotoItem>{scene()[1], scene()[2]}));

  QElapsedTimer exit;
  bool marked = false;
  qint64 exitMs = -1;
  QObject::connect(&store(), &AppStore::exitingGroupIDsChanged, &store(), [&] {
    if (store().exitingGroupIDs().contains("/p/a0")) {
      marked = store().groups().size() == 2; // still listed while it plays its exit
      exit.start();
    } else if (exit.isValid()) {
      exitMs = exit.elapsed();
    }
  });
  removal->releaseRemovals();
  ASSERT_TRUE(waitForCleanup());

  EXPECT_TRUE(marked);
  EXPECT_GE(exitMs, 230);
  EXPECT_TRUE(store().exitingGroupIDs().empty());
  EXPECT_EQ(itemIDs(), (Ids{"/p/a0", "/p/b0", "/p/b1", "/p/c"}));
  EXPECT_EQ(store().trashedCount(), 2);
  ASSERT_EQ(store().groups().size(), 1u);
  EXPECT_EQ(store().groups()[0].id, "/p/b0");
  ASSERT_TRUE(store().undoToast());
  EXPECT_EQ(store().undoToast()->message, texts::cleanedText(2));
  EXPECT_EQ(store().undoToast()->detail, localized::string("移入废纸篓（可恢复）"));
  EXPECT_TRUE(store().undoToast()->canUndo);
  ASSERT_TRUE(store().undoToast()->receipt);
  EXPECT_EQ(store().undoToast()->receipt->trashedFiles.size(), 2u);
  EXPECT_FALSE(store().alert());
}

TEST_F(AppStoreCleanup, aLibraryCleanupShowsWhereThePhotosWentWithoutUndo) {
  finishLibraryScan({libraryPhoto("x", 100), libraryPhoto("y", 100), libraryPhoto("z", 100)});
  store().cleanup(groupWith("lib:x"));
  ASSERT_TRUE(waitForCleanup());
  ASSERT_TRUE(store().undoToast());
  EXPECT_FALSE(store().undoToast()->canUndo);
  EXPECT_FALSE(store().undoToast()->receipt);
  EXPECT_EQ(store().undoToast()->detail,
            localized::format("%@，30 天内可在「照片」App 恢复", "%@，30 天内可在「照片」App 恢复",
                              {localized::string("已移入「照片」App 的「最近删除」")}));

  // Undo has nothing to bring back from the library.
  store().undoLastCleanup();
  spin(30);
  EXPECT_EQ(removal->undoCount(), 0);
}

TEST_F(AppStoreCleanup, aFailedCleanupRemovesNothingAndAdvisesForTheSource) {
  finishFolderScan(scene());
  removal->stopDeletions(RemovalEngineClient::StopPartWay{0, trashFull()});
  const int groupCalls = engine->groupCount();
  store().cleanup(groupWith("/p/a0"));
  ASSERT_TRUE(waitForCleanup());
  EXPECT_EQ(itemIDs().size(), 6u);
  EXPECT_EQ(store().trashedCount(), 0);
  EXPECT_GT(engine->groupCount(), groupCalls); // the groups are refreshed all the same
  EXPECT_FALSE(store().undoToast());
  ASSERT_TRUE(store().alert());
  EXPECT_EQ(store().alert()->title, localized::string("有照片没能删除"));
  EXPECT_EQ(store().alert()->message, trashFull().message + kFolderAdvice);
  EXPECT_FALSE(store().alert()->showsRetryButton);
  EXPECT_FALSE(store().alert()->showsSettingsButton);

  store().setAlert(std::nullopt);
  finishLibraryScan({libraryPhoto("x", 100), libraryPhoto("y", 100)});
  store().cleanup(groupWith("lib:x"));
  ASSERT_TRUE(waitForCleanup());
  ASSERT_TRUE(store().alert());
  EXPECT_EQ(store().alert()->message, trashFull().message + kLibraryAdvice);
}

TEST_F(AppStoreCleanup, aCleanupStoppedPartWayRemovesWhatMovedOffersItsUndoAndAlerts) {
  finishFolderScan(scene());
  removal->stopDeletions(RemovalEngineClient::StopPartWay{1, trashFull()});
  store().cleanup(groupWith("/p/a0"));
  ASSERT_TRUE(waitForCleanup());

  EXPECT_EQ(itemIDs(), (Ids{"/p/a0", "/p/a2", "/p/b0", "/p/b1", "/p/c"}));
  EXPECT_EQ(store().trashedCount(), 1);
  ASSERT_TRUE(store().undoToast());
  EXPECT_EQ(store().undoToast()->message, texts::cleanedText(1));
  ASSERT_TRUE(store().undoToast()->receipt);
  EXPECT_EQ(store().undoToast()->receipt->trashedFiles.size(), 1u);
  ASSERT_TRUE(store().alert());
  EXPECT_EQ(store().alert()->title, localized::string("有照片没能删除"));
  // The photo that stayed still forms a group with the best one.
  EXPECT_EQ(groupWith("/p/a0").count(), 2);
}

TEST_F(AppStoreCleanup, aCleanupConfirmedBeforeTheGroupChangedDeletesNothingAndSaysSo) {
  finishFolderScan(scene());
  const PhotoGroup shown = groupWith("/p/a0");
  bool removed = false;
  store().deleteItem(scene()[2], [&](bool done) { removed = done; });
  ASSERT_TRUE(waitFor([&] { return removed && groupWith("/p/a0").count() == 2; }));
  store().setAlert(std::nullopt);

  store().cleanup(shown);
  spin(30);
  EXPECT_EQ(removal->deleteCount(), 1); // only the single delete
  EXPECT_FALSE(store().cleaningGroupID());
  ASSERT_TRUE(store().alert());
  EXPECT_EQ(store().alert()->title, localized::string("这组照片已经变了"));
  EXPECT_EQ(itemIDs().size(), 5u);

  // A group whose best photo changed has another id: also left alone.
  store().setAlert(std::nullopt);
  store().cleanup("/p/gone", {"/p/gone", "/p/b1"});
  EXPECT_TRUE(store().alert());
  spin(30);
  EXPECT_EQ(removal->deleteCount(), 1);
}

TEST_F(AppStoreCleanup, theDetailClosesOnlyWhenItStillShowsTheCleanedGroup) {
  finishFolderScan(scene());
  store().openDetail(groupWith("/p/a0"));
  store().cleanup(groupWith("/p/a0"));
  ASSERT_TRUE(waitForCleanup());
  EXPECT_FALSE(store().detailGroupID());

  // The user opens another group while a clean-up runs; even when that group falls apart
  // in the regroup, the clean-up leaves its detail to it.
  finishFolderScan(scene());
  removal->holdRemovals();
  store().cleanup(groupWith("/p/a0"));
  ASSERT_TRUE(waitFor([&] { return removal->deleteCount() == 2; }));
  store().openDetail(groupWith("/p/b0"));
  engine->setGrouper([](const std::vector<PhotoItem> &items, float, GroupSort) {
    std::vector<PhotoItem> kept;
    std::copy_if(items.begin(), items.end(), std::back_inserter(kept),
                 [](const PhotoItem &item) { return item.id.rfind("/p/b", 0) != 0; });
    return groupBySameCaptureTime(kept);
  });
  removal->releaseRemovals();
  ASSERT_TRUE(waitForCleanup());
  EXPECT_EQ(store().detailGroupID(), std::optional<std::string>("/p/b0"));
}

TEST_F(AppStoreCleanup, deletingOnePhotoRefreshesClosesThePreviewAndKeepsALargerGroupOpen) {
  finishFolderScan(scene());
  store().openDetail(groupWith("/p/a0"));
  store().openPreview(groupWith("/p/a0"), "/p/a1");
  std::optional<bool> result;
  store().deleteItem(scene()[1], [&](bool removed) { result = removed; });
  ASSERT_TRUE(waitFor([&] { return result.has_value(); }));
  EXPECT_TRUE(*result);
  EXPECT_EQ(itemIDs(), (Ids{"/p/a0", "/p/a2", "/p/b0", "/p/b1", "/p/c"}));
  EXPECT_EQ(store().trashedCount(), 1);
  EXPECT_FALSE(store().previewContext());
  EXPECT_EQ(store().detailGroupID(), std::optional<std::string>("/p/a0"));
  EXPECT_TRUE(store().exitingGroupIDs().empty());
  ASSERT_TRUE(store().undoToast());
  EXPECT_EQ(store().undoToast()->message, texts::deletedText(1));
  EXPECT_TRUE(store().undoToast()->canUndo);

  // The best photo goes: the regrouped group carries another id, so the detail closes.
  result.reset();
  store().deleteItem(scene()[0], [&](bool removed) { result = removed; });
  ASSERT_TRUE(waitFor([&] { return result.has_value(); }));
  EXPECT_FALSE(store().detailGroupID());
}

TEST_F(AppStoreCleanup, aFailedDeleteOnlyAlerts) {
  finishFolderScan(scene());
  removal->stopDeletions(RemovalEngineClient::StopPartWay{0, trashFull()});
  std::optional<bool> result;
  store().deleteItem(scene()[1], [&](bool removed) { result = removed; });
  ASSERT_TRUE(waitFor([&] { return result.has_value(); }));
  EXPECT_FALSE(*result);
  EXPECT_EQ(itemIDs().size(), 6u);
  EXPECT_FALSE(store().undoToast());
  ASSERT_TRUE(store().alert());
  EXPECT_EQ(store().alert()->title, localized::string("删除失败"));
  EXPECT_EQ(store().alert()->message, trashFull().message);
}

TEST_F(AppStoreCleanup, aPhotoAlreadyBeingRemovedIsNotMovedASecondTime) {
  finishFolderScan(scene());
  removal->holdRemovals();
  store().deleteItem(scene()[1]);
  ASSERT_TRUE(waitFor([&] { return removal->deleteCount() == 1; }));
  EXPECT_TRUE(store().isRemoving("/p/a1"));
  // A second confirmation answers false at once; the group's clean-up waits for it too.
  std::optional<bool> second;
  store().deleteItem(scene()[1], [&](bool removed) { second = removed; });
  EXPECT_EQ(second, std::optional<bool>(false));
  store().cleanup(groupWith("/p/a0"));
  EXPECT_FALSE(store().cleaningGroupID());
  removal->releaseRemovals();
  ASSERT_TRUE(waitFor([&] { return !store().isRemoving("/p/a1"); }));
  EXPECT_EQ(removal->deleteCount(), 1);
  EXPECT_FALSE(store().alert());

  // During a clean-up its photos refuse a single delete; the kept best one does not.
  removal->holdRemovals();
  store().cleanup(groupWith("/p/b0"));
  ASSERT_TRUE(waitFor([&] { return removal->deleteCount() == 2; }));
  EXPECT_TRUE(store().isRemoving("/p/b1"));
  EXPECT_FALSE(store().isRemoving("/p/b0"));
  store().deleteItem(scene()[4]);
  removal->releaseRemovals();
  ASSERT_TRUE(waitForCleanup());
  ASSERT_TRUE(waitFor([&] { return !store().isRemoving("/p/b1"); }));
  EXPECT_EQ(removal->deleteCount(), 2);
  EXPECT_FALSE(store().alert());
}

TEST_F(AppStoreCleanup, aDisplayNameArrivesOnTheGuiThreadOnlyWhileItsReceiverLives) {
  QString name;
  QObject receiver;
  store().requestDisplayName(scene()[2], &receiver, [&](const QString &answer) { name = answer; });
  ASSERT_TRUE(waitFor([&] { return !name.isEmpty(); }));
  EXPECT_EQ(name, QStringLiteral("a2"));

  bool called = false;
  auto gone = std::make_unique<QObject>();
  store().requestDisplayName(scene()[0], gone.get(), [&](const QString &) { called = true; });
  gone.reset();
  QString later;
  store().requestDisplayName(scene()[0], &receiver, [&](const QString &answer) { later = answer; });
  ASSERT_TRUE(waitFor([&] { return !later.isEmpty(); }));
  EXPECT_FALSE(called);
}
