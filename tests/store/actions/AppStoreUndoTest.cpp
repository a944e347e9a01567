// The undo toast's lifetime and undo over the hand-driven engine.
#include "app/store/texts/Texts.h"
#include "tests/store/support/RemovalFixture.h"
#include "tests/store/support/ToastLifetimes.h"

using namespace lumora;
using namespace storetest;

class AppStoreUndo : public RemovalFixture {
protected:
  /// A finished scan and a clean-up of the three-photo group, its toast on screen.
  void cleanUpFirstGroup() {
    finishFolderScan(scene());
    store().cleanup(groupWith("/p/a0"));
    ASSERT_TRUE(waitForCleanup());
    ASSERT_TRUE(store().undoToast());
  }
};

TEST_F(AppStoreUndo, anOlderToastsTimerNeverHidesANewerOneWhichHidesSixSecondsAfterItCame) {
  const ToastLifetimes toasts(store());
  cleanUpFirstGroup();
  const QUuid first = store().undoToast()->id;
  spin(1000);
  ASSERT_TRUE(store().undoToast());
  store().dismissToast();
  EXPECT_FALSE(store().undoToast());

  std::optional<bool> removed;
  store().deleteItem(scene()[3], [&](bool done) { removed = done; });
  ASSERT_TRUE(waitFor([&] { return removed.has_value(); }));
  ASSERT_TRUE(store().undoToast());
  const QUuid second = store().undoToast()->id;
  EXPECT_NE(first, second);

  // The first toast's six seconds run out while the second is shown, which stays its own
  // six seconds all the same.
  ASSERT_TRUE(waitFor([&] { return !store().undoToast(); }, 30000));
  EXPECT_GE(toasts.lifetime(second).value_or(0), 5990);
}

TEST_F(AppStoreUndo, anAlertHoldsTheToastsTimeWhichRunsOnWhenItCloses) {
  const ToastLifetimes toasts(store());
  cleanUpFirstGroup();
  const QUuid id = store().undoToast()->id;
  spin(1000);
  store().setAlert(AppStore::AlertContent{
      QUuid::createUuid(), QStringLiteral("t"), QStringLiteral("m"), false, false, {}, {}});
  spin(6500);
  ASSERT_TRUE(store().undoToast()) << "held while the alert is up";
  store().setAlert(std::nullopt);
  ASSERT_TRUE(waitFor([&] { return !store().undoToast(); }, 30000));
  // About five seconds were left when the alert came: the toast lived 1 + 6.5 + 5 s.
  EXPECT_GE(toasts.lifetime(id).value_or(0), 12400);
}

TEST_F(AppStoreUndo, undoRestoresRescansWithResetResultsAndShowsTheRestoredToast) {
  const ToastLifetimes toasts(store());
  cleanUpFirstGroup();
  const DeleteReceipt receipt = *store().undoToast()->receipt;
  const int scans = engine->scanCount();
  removal->holdRemovals();
  store().undoLastCleanup();
  ASSERT_TRUE(waitFor([&] { return removal->undoCount() == 1; }));

  // A second press while the files move back is ignored.
  store().undoLastCleanup();
  spin(30);
  EXPECT_EQ(removal->undoCount(), 1);
  EXPECT_EQ(removal->undoCall(0), receipt);

  // The toast stays on screen while the undo runs, its automatic hiding stopped.
  spin(6200);
  ASSERT_TRUE(store().undoToast());
  EXPECT_TRUE(store().undoToast()->canUndo);

  removal->releaseRemovals();
  ASSERT_TRUE(engine->waitForScans(scans + 1));
  ASSERT_TRUE(store().undoToast());
  EXPECT_EQ(store().undoToast()->message, texts::restoredText(2));
  EXPECT_EQ(store().undoToast()->detail, QStringLiteral("已重新扫描刷新结果"));
  EXPECT_FALSE(store().undoToast()->canUndo);
  EXPECT_FALSE(store().undoToast()->receipt);
  EXPECT_EQ(engine->scannedFolder(scans), *store().folderURL());
  EXPECT_TRUE(store().items().empty());
  EXPECT_EQ(store().trashedCount(), 0);
  EXPECT_EQ(store().phase(), AppStore::Phase::scanning());

  // The restored toast hides after three seconds, not the clean-up toast's six.
  const QUuid restored = store().undoToast()->id;
  ASSERT_TRUE(waitFor([&] { return !store().undoToast(); }, 30000));
  EXPECT_GE(toasts.lifetime(restored).value_or(0), 2990);
  EXPECT_LT(toasts.lifetime(restored).value_or(0), 5990);
  engine->finish(scans, resultOf(scene()));
}

TEST_F(AppStoreUndo, aFailedUndoAlertsKeepsTheToastWithoutHidingAndCanBeRepeated) {
  cleanUpFirstGroup();
  const QUuid toast = store().undoToast()->id;
  removal->failUndo(
      EngineCallError::fromEngine(EngineError::file(QStringLiteral("原位置已被占用"))));
  store().undoLastCleanup();
  ASSERT_TRUE(waitFor([&] { return store().alert().has_value(); }));
  EXPECT_EQ(store().alert()->title, localized::string("撤销失败"));
  EXPECT_EQ(store().alert()->message, QStringLiteral("原位置已被占用"));
  EXPECT_FALSE(store().alert()->showsRetryButton);
  ASSERT_TRUE(store().undoToast());
  EXPECT_EQ(store().undoToast()->id, toast);

  removal->failUndo(std::nullopt);
  const int scans = engine->scanCount();
  store().undoLastCleanup();
  ASSERT_TRUE(engine->waitForScans(scans + 1));
  EXPECT_EQ(removal->undoCount(), 2);
  EXPECT_EQ(removal->undoCall(1), removal->undoCall(0));
  EXPECT_EQ(store().undoToast()->message, texts::restoredText(2));
  engine->finish(scans, resultOf(scene()));
}

TEST_F(AppStoreUndo, undoWithoutAToastDoesNothing) {
  finishFolderScan(scene());
  store().undoLastCleanup();
  spin(30);
  EXPECT_EQ(removal->undoCount(), 0);
  EXPECT_FALSE(store().undoToast());
}
