#include "app/shell/window/AppMenus.h"
#include "app/shell/window/AppearanceController.h"
#include "app/shell/window/MainWindow.h"
#include "app/store/AppStoreStateAccess.h"
#include "platform/gui/SystemColorScheme.h"
#include "tests/store/support/EngineStoreFixture.h"

#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

namespace lumora {
namespace {

using Kind = AppStore::Phase::Kind;

QStringList titles(const QList<QAction *> &actions) {
  QStringList result;
  for (const QAction *a : actions) {
    if (!a->isSeparator()) {
      result.append(a->text());
    }
  }
  return result;
}

// A window with the real menus over a real engine and a folder of generated photos.
class MenusTest : public storetest::EngineStoreFixture {
protected:
  void SetUp() override {
    marker = std::make_unique<testsupport::TempDir>();
    appearance = std::make_unique<AppearanceController>(
        system, QString::fromStdString(marker->path().string()));
    window.setContent(new QWidget);
    menus = new AppMenus(window, store(), *appearance);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  }

  // Sends the key to the window as a user would.
  void press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(&window, key, modifiers);
    QCoreApplication::processEvents();
  }

  platform::SystemColorScheme system;
  std::unique_ptr<testsupport::TempDir> marker;
  std::unique_ptr<AppearanceController> appearance;
  MainWindow window;
  AppMenus *menus = nullptr;
};

TEST_F(MenusTest, TitlesOrderAndShortcuts) {
  EXPECT_EQ(titles(window.menuBar()->actions()),
            (QStringList{QStringLiteral("文件"), QStringLiteral("外观"), QStringLiteral("帮助")}));
  EXPECT_EQ(titles(menus->fileMenu()->actions()),
            (QStringList{QStringLiteral("选择文件夹…"), QStringLiteral("扫描「照片」图库"),
                         QStringLiteral("重新扫描"), QStringLiteral("退出")}));
  EXPECT_EQ(titles(menus->appearanceMenu()->actions()),
            (QStringList{QStringLiteral("深色（默认）"), QStringLiteral("浅色"),
                         QStringLiteral("跟随系统")}));
  EXPECT_EQ(titles(menus->helpMenu()->actions()),
            (QStringList{QStringLiteral("帮助与隐私"), QStringLiteral("关于Pindle")}));
  EXPECT_EQ(menus->chooseFolderAction()->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+O")));
  EXPECT_EQ(menus->openLibraryAction()->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+L")));
  EXPECT_EQ(menus->rescanAction()->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+R")));
  EXPECT_EQ(menus->quitAction()->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
  EXPECT_TRUE(menus->aboutAction()->shortcut().isEmpty());
  for (const QAction *a : menus->appearanceMenu()->actions()) {
    EXPECT_TRUE(a->shortcut().isEmpty() && a->isEnabled());
  }
}

TEST_F(MenusTest, EnableStatesFollowTheScanAndDisabledShortcutsDoNothing) {
  // No folder yet and the folder source: no rescan.
  EXPECT_FALSE(menus->rescanAction()->isEnabled());
  EXPECT_TRUE(menus->openLibraryAction()->isEnabled());
  writeBurst("a", 1, 40, 1000);
  QSignalSpy rescans(menus->rescanAction(), &QAction::triggered);
  press(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_EQ(store().phase().kind, Kind::scanning);
  EXPECT_FALSE(menus->openLibraryAction()->isEnabled());
  EXPECT_FALSE(menus->rescanAction()->isEnabled());
  EXPECT_TRUE(menus->chooseFolderAction()->isEnabled());
  press(Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(rescans.count(), 0);
  ASSERT_TRUE(waitForReady());
  EXPECT_TRUE(menus->rescanAction()->isEnabled());
  press(Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(rescans.count(), 1);
  EXPECT_EQ(store().phase().kind, Kind::scanning);
  ASSERT_TRUE(waitForReady());
}

TEST_F(MenusTest, FailedPhaseAndLibrarySourceKeepTheFileItemsEnabled) {
  AppStore::StateAccess access(store());
  access.setFolderURL(QUrl::fromLocalFile(QStringLiteral("/photos")));
  access.setPhase(AppStore::Phase::failed({}));
  EXPECT_TRUE(menus->chooseFolderAction()->isEnabled());
  EXPECT_TRUE(menus->openLibraryAction()->isEnabled());
  EXPECT_TRUE(menus->rescanAction()->isEnabled());
  access.setFolderURL(std::nullopt);
  access.setSourceKind(AppStore::SourceKind::library);
  access.setPhase(AppStore::Phase::idle());
  EXPECT_TRUE(menus->rescanAction()->isEnabled());
}

TEST_F(MenusTest, HelpAndAboutSetTheTabBeforeOpeningTheSheet) {
  std::vector<AppStore::InfoTab> tabsWhenOpened;
  QObject::connect(&store(), &AppStore::showsInfoCenterChanged, &window, [&] {
    if (store().showsInfoCenter()) {
      tabsWhenOpened.push_back(store().infoInitialTab());
    }
  });
  press(Qt::Key_Question, Qt::ControlModifier | Qt::ShiftModifier);
  store().setShowsInfoCenter(false);
  press(Qt::Key_Question, Qt::ControlModifier);
  store().setShowsInfoCenter(false);
  menus->aboutAction()->trigger();
  EXPECT_EQ(tabsWhenOpened, (std::vector{AppStore::InfoTab::help, AppStore::InfoTab::help,
                                         AppStore::InfoTab::about}));
}

TEST_F(MenusTest, UnknownStoredModeChecksDarkAndChoosingAModeSetsEveryLayer) {
  userdefaults::open().setValue(QStringLiteral("AppearanceMode"), QStringLiteral("sepia"));
  menus->refreshAppearanceChecks();
  EXPECT_EQ(menus->checkedMode(), AppearanceMode::dark);
  appearance->setContentRoot(window.content());
  menus->appearanceAction(AppearanceMode::light)->trigger();
  EXPECT_EQ(userdefaults::open().value(QStringLiteral("AppearanceMode")).toString(),
            QStringLiteral("light"));
  EXPECT_EQ(appearance->applicationAppearance(), ColorScheme::light);
  EXPECT_EQ(AppearanceController::windowAppearance(&window), ColorScheme::light);
  EXPECT_EQ(Theme::schemeOf(window.content()), ColorScheme::light);
  menus->appearanceAction(AppearanceMode::system)->trigger();
  EXPECT_EQ(appearance->applicationAppearance(), std::nullopt);
  EXPECT_EQ(AppearanceController::windowAppearance(&window), std::nullopt);
  EXPECT_EQ(menus->checkedMode(), AppearanceMode::system);
}

// How far an item's text stands out from the menu behind it: the mean colour distance of the
// item's pixels from the menu's background colour.
double ink(const QImage &menu, const QRect &item) {
  const QColor background = menu.pixelColor(item.right() - 2, item.center().y());
  double sum = 0;
  for (int y = item.top(); y <= item.bottom(); ++y) {
    for (int x = item.left(); x <= item.right(); ++x) {
      const QColor c = menu.pixelColor(x, y);
      sum += std::abs(c.red() - background.red()) + std::abs(c.green() - background.green()) +
             std::abs(c.blue() - background.blue());
    }
  }
  return sum / std::max(1, item.width() * item.height());
}

TEST_F(MenusTest, DisabledItemsAreFainterThanEnabledOnesInBothSchemes) {
  appearance->setContentRoot(window.content());
  ASSERT_FALSE(menus->rescanAction()->isEnabled());
  ASSERT_TRUE(menus->chooseFolderAction()->isEnabled());
  for (const AppearanceMode mode : {AppearanceMode::dark, AppearanceMode::light}) {
    SCOPED_TRACE(appearancemode::title(mode).toStdString());
    appearance->chooseMode(mode);
    QMenu *file = menus->fileMenu();
    file->adjustSize();
    const QImage image = file->grab().toImage();
    const double enabled = ink(image, file->actionGeometry(menus->chooseFolderAction()));
    const double disabled = ink(image, file->actionGeometry(menus->rescanAction()));
    EXPECT_GT(enabled, 0);
    EXPECT_LT(disabled, enabled * 0.7);
  }
}

TEST_F(MenusTest, DefaultAndMinimumSizesAreTheContentsBelowTheMenuBar) {
  QCoreApplication::processEvents();
  ASSERT_GT(window.menuBar()->height(), 0);
  EXPECT_EQ(window.content()->size(), MainWindow::kDefaultSize);
  window.resize(300, 200);
  QCoreApplication::processEvents();
  EXPECT_EQ(window.content()->size(), MainWindow::kMinimumSize);
  EXPECT_EQ(window.minimumSize(), window.sizeForContent(MainWindow::kMinimumSize));
}

} // namespace
} // namespace lumora
