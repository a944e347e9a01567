// The photo preview over the hand-driven engine: loading, stepping, prefetch, delete and
// its appear under reduce motion.
#include "app/detail/PreviewBottomBar.h"
#include "app/detail/PreviewCapsuleButton.h"
#include "app/detail/PreviewStage.h"
#include "app/detail/PreviewTopBar.h"
#include "app/detail/RoundSymbolButton.h"
#include "tests/detail/support/DetailFixture.h"

#include <QAbstractButton>
#include <set>

using namespace lumora;
using namespace detailtest;
using Content = PreviewStage::Content;

class PhotoPreview : public DetailFixture {
protected:
  void SetUp() override {
    std::vector<PhotoItem> items = burst("a", 5, 100);
    for (PhotoItem &item : burst("b", 2, 200)) {
      items.push_back(item);
    }
    setScene(items);
  }
  PhotoPreviewView &open(const std::string &groupID, const std::string &itemID) {
    store().openPreview(groupWith(groupID), itemID);
    return showPreview();
  }
  [[nodiscard]] Content content() const { return preview->stage()->content(); }
  void confirm(QMessageBox *box) {
    for (QAbstractButton *button : box->buttons()) {
      if (box->buttonRole(button) == QMessageBox::DestructiveRole) {
        button->click();
      }
    }
  }
};

TEST_F(PhotoPreview, showsTheSpinnerThenTheImageOrThePlaceholderAndTheEnginesName) {
  engine->hold("/p/a0.jpg");
  engine->markUnreadable("/p/a1.jpg");
  open("/p/a0.jpg", "/p/a0.jpg");
  EXPECT_EQ(content(), Content::loading);
  EXPECT_EQ(preview->shownName(), QStringLiteral("a0.jpg"));
  EXPECT_EQ(preview->topBar()->positionText(), QStringLiteral("1 / 5"));
  engine->release("/p/a0.jpg");
  ASSERT_TRUE(waitFor([&] { return content() == Content::image; }));
  ASSERT_TRUE(waitFor([&] { return preview->shownName() == QStringLiteral("name:a0.jpg"); }));
  EXPECT_EQ(preview->topBar()->shownName(), QStringLiteral("name:a0.jpg"));
  // Prefetch after the image: the next photo and the one before (the last, wrapping); the
  // cache's workers may reach the engine in either order.
  ASSERT_TRUE(waitFor([&] { return engine->imageRequests().size() == 3; }));
  const std::vector<std::string> requests = engine->imageRequests();
  EXPECT_EQ(std::set<std::string>(requests.begin() + 1, requests.end()),
            (std::set<std::string>{"/p/a1.jpg", "/p/a4.jpg"}));

  store().previewStep(1);
  ASSERT_TRUE(waitFor([&] { return content() == Content::unreadable; }));
  EXPECT_TRUE(preview->topBar()->isVisible());
}

TEST_F(PhotoPreview, fastSteppingOverSlowLoadsShowsOnlyTheLastPhoto) {
  for (const char *id : {"/p/a0.jpg", "/p/a1.jpg", "/p/a2.jpg"}) {
    engine->hold(id);
  }
  open("/p/a0.jpg", "/p/a0.jpg");
  store().previewStep(1);
  store().previewStep(1);
  // The earlier photos answer late, image and name: neither lands on photo 3.
  engine->release("/p/a0.jpg");
  engine->release("/p/a1.jpg");
  spin(80);
  EXPECT_EQ(content(), Content::loading);
  EXPECT_EQ(preview->shownName(), QStringLiteral("a2.jpg"));
  engine->release("/p/a2.jpg");
  ASSERT_TRUE(waitFor([&] { return content() == Content::image; }));
  ASSERT_TRUE(waitFor([&] { return preview->shownName() == QStringLiteral("name:a2.jpg"); }));
  EXPECT_EQ(preview->topBar()->positionText(), QStringLiteral("3 / 5"));
}

TEST_F(PhotoPreview, stepsWrapZoomResetsAndAGroupOfOneShowsNoStepButtons) {
  open("/p/a0.jpg", "/p/a0.jpg");
  ASSERT_TRUE(waitFor([&] { return content() == Content::image; }));
  preview->stage()->toggleZoom();
  EXPECT_EQ(preview->stage()->zoom().zoom(), 2.0);
  preview->previousButton()->click();
  EXPECT_EQ(store().previewContext()->index, 4);
  EXPECT_EQ(preview->stage()->zoom().zoom(), 1.0);
  QTest::keyClick(preview.get(), Qt::Key_Right);
  EXPECT_EQ(store().previewContext()->index, 0);
  EXPECT_TRUE(preview->nextButton()->isVisible());

  // The group shrinks to one photo while shown: no buttons, and the arrows change nothing.
  std::vector<PhotoItem> items = store().items();
  items.erase(items.begin() + 1, items.begin() + 5);
  AppStore::StateAccess(store()).setGroups({PhotoGroup(items[0].id, {items[0]})});
  EXPECT_FALSE(preview->nextButton()->isVisible());
  EXPECT_FALSE(preview->previousButton()->isVisible());
  QTest::keyClick(preview.get(), Qt::Key_Right);
  EXPECT_EQ(store().previewContext()->index, 0);
}

TEST_F(PhotoPreview, ctrlFTogglesTheShownPhotoAndTheBarsFollow) {
  open("/p/b0.jpg", "/p/b1.jpg");
  QTest::keyClick(preview.get(), Qt::Key_F, Qt::ControlModifier);
  ASSERT_TRUE(waitFor([&] { return store().previewItem()->isFavorite; }));
  EXPECT_EQ(preview->bottomBar()->favoriteButton()->text(), QStringLiteral("取消收藏"));
  EXPECT_EQ(preview->bottomBar()->favoriteButton()->symbol(), QStringLiteral("star.fill"));
  EXPECT_FALSE(store().items()[5].isFavorite);
  preview->bottomBar()->favoriteButton()->click();
  ASSERT_TRUE(waitFor([&] { return !store().previewItem()->isFavorite; }));
  EXPECT_EQ(preview->bottomBar()->favoriteButton()->toolTip(),
            QStringLiteral("收藏（图库来源会写回图库）"));
}

TEST_F(PhotoPreview, aDeleteClosesOnlyOnSuccessAndASecondConfirmationMovesNothingTwice) {
  open("/p/a0.jpg", "/p/a2.jpg");
  engine->stopDeletions(storetest::RemovalEngineClient::StopPartWay{
      0, EngineError::file(QStringLiteral("废纸篓已满"))});
  preview->bottomBar()->deleteButton()->click();
  ASSERT_TRUE(preview->deleteConfirmation());
  EXPECT_EQ(preview->deleteConfirmation()->text(), QStringLiteral("删除这张照片？"));
  confirm(preview->deleteConfirmation());
  ASSERT_TRUE(waitFor([&] { return store().alert().has_value(); }));
  EXPECT_TRUE(store().previewContext());
  EXPECT_EQ(store().previewItem()->id, "/p/a2.jpg");

  engine->stopDeletions(std::nullopt);
  engine->holdRemovals();
  ASSERT_TRUE(waitFor([&] { return !preview->deleteConfirmation(); }));
  preview->askToDelete();
  confirm(preview->deleteConfirmation());
  ASSERT_TRUE(waitFor([&] { return !preview->deleteConfirmation(); }));
  // The preview stays on the photo while the engine works; confirming again moves nothing.
  preview->askToDelete();
  confirm(preview->deleteConfirmation());
  engine->releaseRemovals();
  ASSERT_TRUE(waitFor([&] { return !store().previewContext(); }));
  EXPECT_EQ(engine->deleteCount(), 2);
  EXPECT_EQ(store().items().size(), 6u);
}

TEST_F(PhotoPreview, aLibraryDeleteNamesTheShownName) {
  std::vector<PhotoItem> items = {storetest::libraryPhoto("x", 100),
                                  storetest::libraryPhoto("y", 100)};
  setScene(items, AppStore::SourceKind::library);
  open("lib:x", "lib:y");
  ASSERT_TRUE(waitFor([&] { return preview->shownName() == QStringLiteral("name:图库照片"); }));
  preview->askToDelete();
  ASSERT_TRUE(preview->deleteConfirmation());
  EXPECT_EQ(preview->deleteConfirmation()->text(), QStringLiteral("把这张照片移入「最近删除」？"));
  EXPECT_TRUE(preview->deleteConfirmation()->informativeText().startsWith(
      QStringLiteral("「name:图库照片」会进入图库的「最近删除」")));
}

TEST_F(PhotoPreview, appearsFadingAndGrowingOrAtOnceUnderReduceMotion) {
  open("/p/a0.jpg", "/p/a0.jpg");
  EXPECT_EQ(preview->appearProgress(), 0);
  EXPECT_NEAR(preview->stage()->stageScale(), 0.98, 1e-9);
  ASSERT_TRUE(waitFor([&] { return preview->appearProgress() == 1; }));
  EXPECT_EQ(preview->stage()->stageScale(), 1);

  preview.reset();
  platform::setReduceMotionOverride(true);
  showPreview();
  EXPECT_TRUE(preview->hasAppeared());
  EXPECT_EQ(preview->appearProgress(), 1);
  EXPECT_EQ(preview->stage()->stageScale(), 1);
}
