// The failure screen: every kind's badge and ways out, and the settings targets it tries.
#include "app/shell/screens/FailureStateView.h"
#include "app/shell/screens/StatusBadge.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/store/AppStoreStateAccess.h"
#include "app/store/actions/ScanFailures.h"
#include "tests/shell/support/ScreenFixture.h"

using namespace lumora;
using namespace shelltest;
using Kind = AppStore::Failure::Kind;
using Style = ThemedButton::Style;

namespace {

struct Row {
  Kind kind;
  const char *symbol;
  QStringList titles;
};

QStringList titlesOf(const std::vector<QAbstractButton *> &buttons) {
  QStringList titles;
  for (QAbstractButton *button : buttons) {
    titles << button->text();
  }
  return titles;
}

} // namespace

using FailureStateViewTest = ScreenFixture;

TEST_F(FailureStateViewTest, eachKindShowsItsBadgeAndItsWaysOutInStyleOrder) {
  const std::vector<Row> table = {
      {Kind::permissionDenied, "lock.fill", {"打开系统设置", "重新选择文件夹…", "重试"}},
      {Kind::libraryDenied, "photo.on.rectangle", {"重新授权", "打开图库权限设置", "改用文件夹"}},
      {Kind::noImages, "photo.on.rectangle.angled", {"重新扫描", "选择文件夹…"}},
      {Kind::emptyFolder, "folder", {"重新选择文件夹…", "重试"}},
      {Kind::visionUnavailable, "exclamationmark.triangle.fill", {"重试", "重新选择文件夹…"}},
      {Kind::other, "exclamationmark.triangle.fill", {"重试", "重新选择文件夹…"}},
  };
  auto *view = host(new FailureStateView(store(), {Kind::other, "t", "m"}));
  const Theme &theme = Theme::of(view);
  for (const Row &expected : table) {
    SCOPED_TRACE(expected.symbol);
    view->setFailure(
        {expected.kind, QStringLiteral("标题 %1").arg(int(expected.kind)), QStringLiteral("说明")});
    spin(10);
    EXPECT_EQ(view->titleLabel()->text(), QStringLiteral("标题 %1").arg(int(expected.kind)));
    EXPECT_EQ(view->badge()->symbol(), QString::fromUtf8(expected.symbol));
    const QColor tint = view->badge()->symbolColor();
    if (expected.kind == Kind::emptyFolder) {
      EXPECT_EQ(tint, theme.secondary);
    } else if (expected.kind == Kind::libraryDenied) {
      EXPECT_GT(tint.redF(), 0.9f); // pink
      EXPECT_LT(tint.greenF(), 0.4f);
    } else {
      EXPECT_EQ(tint, theme.orange);
    }
    EXPECT_NEAR(view->badge()->fill().alphaF(), tint.alphaF() * 0.14, 0.01);
    const std::vector<QAbstractButton *> buttons = visibleButtons(*view);
    EXPECT_EQ(titlesOf(buttons), expected.titles);
    const Style styles[] = {Style::prominent, Style::bordered, Style::link};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      EXPECT_EQ(static_cast<ThemedButton *>(buttons[i])->buttonStyle(), styles[i]);
    }
  }
}

TEST_F(FailureStateViewTest, aLongMessageWrapsWithinItsWidthAndIsNeverCut) {
  const QString message = QString(200, QChar(0x6587));
  auto *view = host(new FailureStateView(store(), {Kind::other, "出错了", message}));
  spin(20);
  QLabel *label = view->messageLabel();
  EXPECT_LE(label->width(), 460);
  EXPECT_GE(label->height(), label->heightForWidth(label->width()));
  EXPECT_GT(label->height(), 3 * label->fontMetrics().height());
  EXPECT_LT(view->titleLabel()->height(), 2 * view->titleLabel()->fontMetrics().height());
}

TEST_F(FailureStateViewTest, settingsButtonsTryTheirTargetsInOrderThroughTheStore) {
  auto *view = host(new FailureStateView(store(), scanfailures::folderUnreadable("/x")));
  settingsOpens = {QString::fromLatin1(AppStore::kFilesAndFoldersAnchor)};
  QTest::mouseClick(buttonTitled(*view, "打开系统设置"), Qt::LeftButton);
  EXPECT_EQ(settingsTried, std::vector<QString>{AppStore::kFilesAndFoldersAnchor});

  settingsTried.clear();
  settingsOpens.clear();
  view->setFailure(scanfailures::libraryDenied());
  spin(10);
  QTest::mouseClick(buttonTitled(*view, "打开图库权限设置"), Qt::LeftButton);
  EXPECT_EQ(settingsTried, (std::vector<QString>{AppStore::kPhotosAnchor, AppStore::kAllFilesAnchor,
                                                 AppStore::kSecurityFallback}));
}

TEST_F(FailureStateViewTest, anEmptyFolderFailsForRealAndItsButtonsActOnTheStore) {
  AppStore &shop = store();
  shop.chooseFolder();
  ASSERT_TRUE(waitForPhase(AppStore::Phase::Kind::failed));
  ASSERT_EQ(shop.phase().failure.kind, Kind::emptyFolder);
  auto *view = host(new FailureStateView(shop, shop.phase().failure));
  EXPECT_EQ(view->titleLabel()->text(), shop.phase().failure.title);
  EXPECT_EQ(view->messageLabel()->text(), shop.phase().failure.message);
  // A second failure of the same kind shows its own texts in the same screen.
  AppStore::StateAccess(shop).setPhase(
      AppStore::Phase::failed({Kind::emptyFolder, "另一个标题", "另一段说明"}));
  EXPECT_EQ(view->titleLabel()->text(), "另一个标题");
  EXPECT_EQ(view->messageLabel()->text(), "另一段说明");

  writeBurst("a-", 3, 2, 1'700'000'000);
  const int picked = pickerOpened;
  QTest::mouseClick(buttonTitled(*view, "重新选择文件夹…"), Qt::LeftButton);
  EXPECT_EQ(pickerOpened, picked + 1);
  ASSERT_TRUE(waitForPhase(AppStore::Phase::Kind::ready));
  EXPECT_EQ(shop.items().size(), 2u);
}
