#include "app/info/help/CacheSection.h"
#include "app/info/HelpContent.h"
#include "app/info/help/ClearCacheButton.h"
#include "app/shell/theme/Spinner.h"
#include "tests/info/support/InfoFixture.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPointer>

using namespace lumora;
using infotest::waitFor;
using InfoTab = AppStoreTypes::InfoTab;

namespace {

class CacheSectionTest : public infotest::InfoFixture {
protected:
  CacheSectionTest() : view(makeView(InfoTab::help)) {}

  CacheSection &cache() const {
    return *qobject_cast<HelpContent *>(view->content())->cacheSection();
  }

  /// Opens the confirmation and presses the button titled `title`.
  void answerConfirmation(const QString &title) {
    cache().clearButton()->click();
    QMessageBox *box = cache().confirmation();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("清除分析缓存？"));
    for (QAbstractButton *button : box->buttons()) {
      if (button->text() == title) {
        button->click();
        return;
      }
    }
    ADD_FAILURE() << "no button " << title.toStdString();
  }

  bool clearedRowShown() const {
    return cache().rescanButton()->isVisibleTo(&cache()) &&
           cache().findChild<QWidget *>(QStringLiteral("clearedBadge"))->isVisibleTo(&cache());
  }

  std::unique_ptr<InfoCenterView> view;
};

} // namespace

TEST_F(CacheSectionTest, cancellingTheConfirmationClearsNothing) {
  fillCache();
  answerConfirmation(QStringLiteral("取消"));
  EXPECT_TRUE(waitFor([&] { return cache().confirmation() == nullptr; }));
  EXPECT_FALSE(cache().isClearing());
  EXPECT_EQ(engine().clearingsStarted(), 0);
  EXPECT_TRUE(std::filesystem::exists(cacheFile()));
  EXPECT_FALSE(clearedRowShown());
}

TEST_F(CacheSectionTest, clearingShowsTheSpinnerUntilTheEngineAnswersThenTheClearedRow) {
  fillCache();
  engine().hold();
  answerConfirmation(QStringLiteral("清除"));
  ASSERT_TRUE(waitFor([&] { return engine().clearingsStarted() == 1; }));
  ClearCacheButton *button = cache().clearButton();
  EXPECT_TRUE(cache().isClearing());
  EXPECT_FALSE(button->isEnabled());
  EXPECT_TRUE(button->spinner()->isVisibleTo(button));
  EXPECT_EQ(button->clearingLabel()->text(), QStringLiteral("正在清除…"));
  EXPECT_EQ(button->accessibleName(), QStringLiteral("清除分析缓存…"));
  EXPECT_FALSE(clearedRowShown());

  engine().release();
  ASSERT_TRUE(waitFor([&] { return cache().didClear(); }));
  EXPECT_FALSE(cache().isClearing());
  EXPECT_TRUE(button->isEnabled());
  EXPECT_FALSE(button->spinner()->isVisibleTo(button));
  EXPECT_TRUE(clearedRowShown());
  EXPECT_FALSE(std::filesystem::exists(cacheFile()));

  // A second clearing keeps the cleared row beside the spinner.
  engine().hold();
  answerConfirmation(QStringLiteral("清除"));
  ASSERT_TRUE(waitFor([&] { return engine().clearingsStarted() == 2; }));
  EXPECT_TRUE(cache().isClearing());
  EXPECT_TRUE(clearedRowShown());
  engine().release();
  EXPECT_TRUE(waitFor([&] { return !cache().isClearing(); }));
}

TEST_F(CacheSectionTest, aSheetClosedMidClearingIsNeverTouched) {
  engine().hold();
  answerConfirmation(QStringLiteral("清除"));
  ASSERT_TRUE(waitFor([&] { return engine().clearingsStarted() == 1; }));
  QPointer<QWidget> content = view->content();
  view.reset();
  EXPECT_TRUE(content.isNull());
  engine().release();
  ASSERT_TRUE(waitFor([&] { return engine().clearingsDone() == 1; }));
  EXPECT_FALSE(waitFor([] { return false; }, 100));
}

TEST_F(CacheSectionTest, rescanClosesTheSheetBeforeTheScanStarts) {
  fillCache();
  store().setShowsInfoCenter(true);
  answerConfirmation(QStringLiteral("清除"));
  ASSERT_TRUE(waitFor([&] { return cache().didClear(); }));
  // Without a folder yet, the rescan asks for one; it gets the photos folder.
  pickFolder = [&](const FolderPickerRequest &, std::function<void(std::optional<QUrl>)> done) {
    done(QUrl::fromLocalFile(QString::fromStdString(photosFolder().string())));
  };
  std::optional<bool> sheetOpenWhenScanning;
  QObject::connect(&store(), &AppStore::phaseChanged, view.get(), [&] {
    if (store().phase().kind == AppStore::Phase::Kind::scanning && !sheetOpenWhenScanning) {
      sheetOpenWhenScanning = store().showsInfoCenter();
    }
  });
  cache().rescanButton()->click();
  ASSERT_TRUE(sheetOpenWhenScanning.has_value());
  EXPECT_FALSE(*sheetOpenWhenScanning);
  // The cache was emptied: every photo is analysed anew.
  ASSERT_TRUE(waitFor([&] { return store().phase().kind == AppStore::Phase::Kind::ready; }, 60000));
  ASSERT_TRUE(store().lastResult().has_value());
  EXPECT_EQ(store().lastResult()->cacheHitCount, 0);
  EXPECT_EQ(store().lastResult()->items.size(), 3U);
}
