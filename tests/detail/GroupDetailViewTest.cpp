// The group detail over the hand-driven engine: layout, keys, confirmations and the
// faults the screen must not repeat.
#include "app/detail/DetailActionBar.h"
#include "app/detail/DetailGrid.h"
#include "app/detail/DetailHeaderBar.h"
#include "app/detail/DetailKeyView.h"
#include "app/detail/DetailMissingView.h"
#include "app/detail/DetailTile.h"
#include "app/detail/RoundSymbolButton.h"
#include "app/shell/ScreenFactory.h"
#include "app/shell/components/FavoriteStarButton.h"
#include "app/shell/components/FocusRingOverlay.h"
#include "app/shell/root/ContentView.h"
#include "app/shell/theme/Spinner.h"
#include "app/shell/theme/ThemedButton.h"
#include "tests/detail/support/DetailFixture.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QScrollBar>
#include <algorithm>

using namespace lumora;
using namespace detailtest;

namespace {

// Records the keys that reach it: the detail's parent.
class KeyRecorder : public QObject {
public:
  bool eventFilter(QObject *, QEvent *event) override {
    if (event->type() == QEvent::KeyPress) {
      keys.push_back(static_cast<QKeyEvent *>(event)->key());
    }
    return false;
  }
  std::vector<int> keys;
};

QAbstractButton *buttonWithRole(QMessageBox *box, QMessageBox::ButtonRole role) {
  for (QAbstractButton *button : box->buttons()) {
    if (box->buttonRole(button) == role) {
      return button;
    }
  }
  return nullptr;
}

} // namespace

class GroupDetail : public DetailFixture {
protected:
  void SetUp() override {
    std::vector<PhotoItem> items = burst("a", 7, 100, 2'000'000);
    for (PhotoItem &item : burst("b", 2, 200)) {
      items.push_back(item);
    }
    setScene(items);
  }
  void key(int qtKey) { QTest::keyClick(detail->keyView(), static_cast<Qt::Key>(qtKey)); }
  [[nodiscard]] std::string focus() { return store().focusedPhotoID().value_or("none"); }
  /// The real detail and preview in the composed content view, the first burst's detail
  /// open and holding the keys; null when it never got them.
  ContentView *openInRoot() {
    ScreenFactory factory;
    factory.groupDetail = [](AppStore &s, const std::string &id, HeroNamespace *hero,
                             QWidget *parent) -> QWidget * {
      return new GroupDetailView(s, id, hero, parent);
    };
    factory.photoPreview = [](AppStore &s, QWidget *parent) -> QWidget * {
      return new PhotoPreviewView(s, parent);
    };
    auto *root = new ContentView(store(), factory, &host);
    root->setGeometry(host.rect());
    showHost();
    store().openDetail(groupWith("/p/a0.jpg"));
    const bool holdsKeys = waitFor([&] {
      const auto *shown = qobject_cast<GroupDetailView *>(root->detailView());
      return shown != nullptr && shown->keyView()->hasFocus();
    });
    return holdsKeys ? root : nullptr;
  }
};

TEST_F(GroupDetail, columnsFollowTheWidthAndAnUnknownGroupShowsOnlyTheMissingView) {
  showDetail("/p/a0.jpg");
  for (const auto &[width, columns] : {std::pair{1079, 2}, {1080, 3}, {1439, 3}, {1440, 4}}) {
    detail->resize(width, 780);
    EXPECT_EQ(detail->columnCount(), columns) << width;
    EXPECT_EQ(detail->grid()->columns(), columns) << width;
  }
  EXPECT_FALSE(detail->missingView()->isVisible());
  EXPECT_EQ(detail->headerBar()->subtitle().count(QStringLiteral(" · ")), 2);

  detail = std::make_unique<GroupDetailView>(store(), "/p/gone.jpg", nullptr, &host);
  detail->setGeometry(host.rect());
  detail->show();
  EXPECT_TRUE(detail->missingView()->isVisible());
  EXPECT_FALSE(detail->headerBar()->isVisible());
  EXPECT_FALSE(detail->grid()->isVisible());
  EXPECT_FALSE(detail->actionBar()->isVisible());
  detail->missingView()->backButton()->click();
  EXPECT_FALSE(store().detailGroupID());
}

TEST_F(GroupDetail, arrowKeysClampReturnOpensSpaceFavouritesEscapeLeavesOthersPassOn) {
  showDetail("/p/a0.jpg");
  detail->resize(1150, 780); // 3 columns
  ASSERT_TRUE(waitFor([&] { return detail->keyView()->hasFocus(); }));
  store().setFocusedPhotoID("/p/a5.jpg");
  key(Qt::Key_Down);
  EXPECT_EQ(focus(), "/p/a6.jpg");
  key(Qt::Key_Right);
  EXPECT_EQ(focus(), "/p/a6.jpg");
  store().setFocusedPhotoID("/p/a1.jpg");
  key(Qt::Key_Up);
  EXPECT_EQ(focus(), "/p/a0.jpg");
  key(Qt::Key_Left);
  EXPECT_EQ(focus(), "/p/a0.jpg");
  store().setFocusedPhotoID(std::nullopt);
  key(Qt::Key_Right);
  EXPECT_EQ(focus(), "/p/a1.jpg");
  EXPECT_TRUE(detail->grid()->tile("/p/a1.jpg")->isFocused());

  key(Qt::Key_Space);
  ASSERT_TRUE(waitFor([&] { return store().items()[1].isFavorite; }));
  key(Qt::Key_Return);
  ASSERT_TRUE(store().previewContext());
  EXPECT_EQ(store().previewContext()->index, 1);
  store().setPreviewContext(std::nullopt);

  KeyRecorder recorder;
  host.installEventFilter(&recorder);
  key(Qt::Key_A);
  EXPECT_EQ(recorder.keys, std::vector<int>{Qt::Key_A});
  key(Qt::Key_Escape);
  EXPECT_FALSE(store().detailGroupID());
  EXPECT_EQ(recorder.keys.size(), 1u);
}

TEST_F(GroupDetail, theFocusedTileScrollsIntoView) {
  host.resize(1150, 400);
  showDetail("/p/a0.jpg");
  QScrollBar *bar = detail->grid()->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), 0);
  store().setFocusedPhotoID("/p/a6.jpg");
  const DetailTile *last = detail->grid()->tile("/p/a6.jpg");
  const auto centred = [&] {
    const int centre = last->slot().center().y() - bar->value();
    return std::abs(centre - detail->grid()->viewport()->height() / 2) <= 1 ||
           bar->value() == bar->maximum();
  };
  EXPECT_TRUE(waitFor(centred)) << bar->value() << " of " << bar->maximum();
  EXPECT_GT(bar->value(), 0);
}

TEST_F(GroupDetail, deleteKeysAskAboutTheFocusedPhotoWordedByTheSource) {
  showDetail("/p/a0.jpg");
  store().setFocusedPhotoID("/p/a2.jpg");
  key(Qt::Key_Backspace);
  QMessageBox *box = detail->confirmation();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text(), QStringLiteral("删除这张照片？"));
  EXPECT_EQ(box->informativeText(),
            QStringLiteral("「a2.jpg」会移到废纸篓，可以在文件管理器里恢复。"));
  EXPECT_EQ(box->windowModality(), Qt::WindowModal);
  buttonWithRole(box, QMessageBox::RejectRole)->click();
  ASSERT_TRUE(waitFor([&] { return !detail->confirmation(); }));
  EXPECT_EQ(engine->deleteCount(), 0);

  key(Qt::Key_Delete);
  ASSERT_TRUE(detail->confirmation());
  buttonWithRole(detail->confirmation(), QMessageBox::DestructiveRole)->click();
  ASSERT_TRUE(waitFor([&] { return groupWith("/p/a0.jpg").count() == 6; }));
  EXPECT_EQ(engine->deleteCall(0).front().id, "/p/a2.jpg");

  AppStore::StateAccess(store()).setSourceKind(AppStore::SourceKind::library);
  detail->askToCleanup();
  ASSERT_TRUE(detail->confirmation());
  EXPECT_EQ(detail->confirmation()->text(), QStringLiteral("把 5 张照片移入「最近删除」？"));
  EXPECT_EQ(buttonWithRole(detail->confirmation(), QMessageBox::DestructiveRole)->text(),
            QStringLiteral("移入「最近删除」"));
}

TEST_F(GroupDetail, theCleanupButtonWaitsForAnyCleanupAndOnlyItsOwnShowsTheSpinner) {
  showDetail("/p/a0.jpg");
  ThemedButton *button = detail->actionBar()->cleanupButton();
  EXPECT_TRUE(button->isEnabled());
  EXPECT_EQ(button->symbol(), QStringLiteral("trash"));
  AppStore::StateAccess(store()).setCleaningGroupID("/p/b0.jpg");
  EXPECT_FALSE(button->isEnabled());
  EXPECT_EQ(button->symbol(), QStringLiteral("trash"));
  EXPECT_FALSE(detail->actionBar()->spinner()->isVisible());
  AppStore::StateAccess(store()).setCleaningGroupID("/p/a0.jpg");
  EXPECT_TRUE(detail->actionBar()->spinner()->isVisible());
  // While the group is being cleaned, neither a tile nor the Delete key asks to delete.
  detail->grid()->tile("/p/a3.jpg")->deleteButton()->click();
  key(Qt::Key_Delete);
  EXPECT_FALSE(detail->confirmation());
}

TEST_F(GroupDetail, theCleanupRemovesOnlyThePhotosTheConfirmationCounted) {
  showDetail("/p/b0.jpg");
  detail->askToCleanup();
  ASSERT_TRUE(detail->confirmation());
  EXPECT_EQ(detail->confirmation()->text(), QStringLiteral("清理这 1 张照片？"));
  // A regroup while the dialog is open adds a photo the user never counted.
  std::vector<PhotoItem> items = store().items();
  items.push_back(storetest::photo("/p/b9.jpg", 1000, 200));
  AppStore::StateAccess(store()).setGroups(storetest::groupBySameCaptureTime(items));
  AppStore::StateAccess(store()).setItems(items);
  buttonWithRole(detail->confirmation(), QMessageBox::DestructiveRole)->click();
  spin(50);
  EXPECT_EQ(engine->deleteCount(), 0);
  ASSERT_TRUE(store().alert());
  EXPECT_EQ(store().detailGroupID(), std::optional<std::string>("/p/b0.jpg"));
}

TEST_F(GroupDetail, tilesShowControlsOnHoverOrFocusAndDeleteOpensNoPreview) {
  PhotoItem favourite = burst("c", 3, 300)[2];
  favourite.isFavorite = true;
  std::vector<PhotoItem> items = burst("c", 2, 300);
  items.push_back(favourite);
  setScene(items);
  showDetail("/p/c0.jpg");
  store().setFocusedPhotoID(std::nullopt);
  DetailTile *plain = detail->grid()->tile("/p/c1.jpg");
  EXPECT_FALSE(plain->starButton()->isVisible());
  EXPECT_FALSE(plain->deleteButton()->isVisible());
  EXPECT_TRUE(detail->grid()->tile("/p/c2.jpg")->starButton()->isVisible());
  EXPECT_FALSE(detail->grid()->tile("/p/c2.jpg")->deleteButton()->isVisible());
  QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
  QApplication::sendEvent(plain, &enter);
  EXPECT_TRUE(plain->starButton()->isVisible());
  EXPECT_TRUE(plain->deleteButton()->isVisible());
  plain->deleteButton()->click();
  EXPECT_FALSE(store().previewContext());
  ASSERT_TRUE(detail->confirmation());
  EXPECT_TRUE(detail->confirmation()->informativeText().contains(QStringLiteral("c1.jpg")));

  EXPECT_EQ(plain->accessibleName(), QStringLiteral("照片，7.5 分，不错"));
  store().setFocusedPhotoID("/p/c0.jpg");
  DetailTile *best = detail->grid()->tile("/p/c0.jpg");
  EXPECT_EQ(best->accessibleName(), QStringLiteral("已选中该组，本组最佳，照片，8.0 分，不错"));
  EXPECT_TRUE(best->deleteButton()->isVisible());
  QTest::mouseClick(best, Qt::LeftButton, {}, QPoint(40, best->height() - 20));
  ASSERT_TRUE(store().previewContext());
  EXPECT_EQ(store().previewContext()->index, 0);
}

TEST_F(GroupDetail, theOpenPreviewHoldsTheKeyboardAndGivesItBackWhenItCloses) {
  showDetail("/p/a0.jpg");
  ASSERT_TRUE(waitFor([&] { return detail->keyView()->hasFocus(); }));
  store().openPreview(groupWith("/p/a0.jpg"), "/p/a0.jpg");
  showPreview();
  ASSERT_TRUE(waitFor([&] { return preview->hasFocus(); }));
  QTest::keyClick(preview.get(), Qt::Key_Right);
  EXPECT_EQ(store().previewContext()->index, 1);
  // Keys the preview does not bind stay with it: nothing favourites or deletes the
  // detail's focused photo behind it.
  for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Delete, Qt::Key_Down}) {
    ASSERT_TRUE(preview->hasFocus());
    QTest::keyClick(preview.get(), key);
  }
  spin(30);
  EXPECT_FALSE(store().items()[0].isFavorite);
  EXPECT_FALSE(detail->confirmation());
  EXPECT_EQ(focus(), "/p/a0.jpg");
  QTest::keyClick(preview.get(), Qt::Key_Escape);
  EXPECT_FALSE(store().previewContext());
  preview.reset();
  ASSERT_TRUE(waitFor([&] { return detail->keyView()->hasFocus(); }));
}

TEST_F(GroupDetail, underReduceMotionTheFocusedTileDoesNotLift) {
  platform::setReduceMotionOverride(true);
  showDetail("/p/a0.jpg");
  DetailTile *tile = detail->grid()->tile("/p/a0.jpg");
  EXPECT_TRUE(tile->isFocused());
  EXPECT_EQ(tile->lift(), 0);
  EXPECT_EQ(tile->geometry(), tile->slot());
  platform::setReduceMotionOverride(false);
  store().setFocusedPhotoID("/p/a1.jpg");
  DetailTile *lifted = detail->grid()->tile("/p/a1.jpg");
  ASSERT_TRUE(waitFor([&] { return lifted->geometry() == lifted->slot().translated(0, -2); }));
}

TEST_F(GroupDetail, inTheRootViewTheKeysReachTheDetailThenThePreviewAndComeBack) {
  ContentView *root = openInRoot();
  ASSERT_NE(root, nullptr);
  auto *shown = qobject_cast<GroupDetailView *>(root->detailView());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
  EXPECT_EQ(focus(), "/p/a1.jpg");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  ASSERT_TRUE(waitFor([&] { return qobject_cast<PhotoPreviewView *>(root->previewView()); }));
  ASSERT_TRUE(waitFor([&] { return root->previewView()->hasFocus(); }));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  ASSERT_TRUE(waitFor([&] { return shown->keyView()->hasFocus(); }));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_FALSE(store().detailGroupID());
}

// The ring shows exactly where the keys go: a click on any empty place of the detail (its
// header, beside the tiles, its foot) leaves the keys with the detail, the ring on the
// focused tile, and Right moves both together.
TEST_F(GroupDetail, aClickOnEmptySpaceKeepsTheRingWhereTheKeysGo) {
  host.resize(1150, 780);
  ContentView *root = openInRoot();
  ASSERT_NE(root, nullptr);
  auto *shown = qobject_cast<GroupDetailView *>(root->detailView());
  const auto ringOver = [&](const std::string &id) {
    const QRect tile = shown->grid()->tile(id)->geometry();
    const auto rings = shown->grid()->findChildren<FocusRingOverlay *>();
    return std::any_of(rings.begin(), rings.end(), [&](const FocusRingOverlay *ring) {
      return ring->isVisible() && ring->geometry().contains(tile);
    });
  };
  for (const QPoint empty : {QPoint(600, 30), QPoint(1000, 90), QPoint(1140, 400),
                             QPoint(1140, 600), QPoint(600, 770)}) {
    SCOPED_TRACE(QStringLiteral("%1,%2").arg(empty.x()).arg(empty.y()).toStdString());
    store().setFocusedPhotoID("/p/a0.jpg");
    QWidget *target = host.childAt(empty) != nullptr ? host.childAt(empty) : &host;
    ASSERT_EQ(qobject_cast<DetailTile *>(target), nullptr);
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(&host, empty));
    ASSERT_TRUE(waitFor([&] { return shown->keyView()->hasFocus(); }));
    EXPECT_TRUE(ringOver("/p/a0.jpg"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(focus(), "/p/a1.jpg");
    EXPECT_TRUE(ringOver("/p/a1.jpg"));
  }
}
