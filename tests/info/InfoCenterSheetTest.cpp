#include "app/shell/InfoCenterSheet.h"
#include "app/shell/ScreenFactory.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"
#include "tests/info/support/InfoFixture.h"

#include <QKeyEvent>
#include <QMainWindow>

using namespace lumora;
using infotest::waitFor;

namespace {

/// The root view's sheet over the real info center, as the application builds it.
class InfoCenterSheetTest : public infotest::InfoFixture {
protected:
  InfoCenterSheetTest() {
    factory.infoCenter = [this](AppStore &shown, AppStoreTypes::InfoTab tab, QWidget *parent) {
      ++built;
      return new InfoCenterView(shown, tab, parent);
    };
    Theme::setScheme(&window, ColorScheme::light);
    window.resize(900, 600);
    window.show();
  }

  void open(AppStoreTypes::InfoTab tab) {
    store().setInfoInitialTab(tab);
    store().setShowsInfoCenter(true);
  }

  [[nodiscard]] AppStoreTypes::InfoTab shownTab() const {
    return static_cast<InfoCenterView *>(sheet.content())->tab();
  }

  QMainWindow window;
  ScreenFactory factory;
  int built = 0;
  InfoCenterSheet sheet{store(), factory, &window};
};

} // namespace

TEST_F(InfoCenterSheetTest, opensOnTheStoresTabAndIgnoresLaterTabChanges) {
  EXPECT_FALSE(sheet.isVisible());
  open(AppStoreTypes::InfoTab::help);
  ASSERT_TRUE(sheet.isVisible());
  EXPECT_EQ(sheet.size(), QSize(520, 560));
  EXPECT_EQ(sheet.windowModality(), Qt::WindowModal);
  EXPECT_EQ(sheet.palette().color(QPalette::Window), Theme::light().windowBackground);
  ASSERT_NE(sheet.content(), nullptr);
  EXPECT_EQ(shownTab(), AppStoreTypes::InfoTab::help);

  store().setInfoInitialTab(AppStoreTypes::InfoTab::about);
  EXPECT_EQ(shownTab(), AppStoreTypes::InfoTab::help);
  EXPECT_EQ(built, 1);

  store().setShowsInfoCenter(false);
  EXPECT_FALSE(sheet.isVisible());
  EXPECT_EQ(sheet.content(), nullptr);
  store().setShowsInfoCenter(true);
  ASSERT_NE(sheet.content(), nullptr);
  EXPECT_EQ(shownTab(), AppStoreTypes::InfoTab::about);
}

TEST_F(InfoCenterSheetTest, returnEscapeAndTheCloseButtonEachWriteTheStoreOnce) {
  int writes = 0;
  QObject::connect(&store(), &AppStore::showsInfoCenterChanged, &sheet, [&] { ++writes; });
  const std::vector<std::function<void()>> closers = {
      [&] { infotest::pressKey(&sheet, Qt::Key_Return); },
      [&] { infotest::pressKey(&sheet, Qt::Key_Escape); },
      [&] { sheet.close(); },
  };
  for (std::size_t i = 0; i < closers.size(); ++i) {
    SCOPED_TRACE(i);
    open(AppStoreTypes::InfoTab::about);
    ASSERT_TRUE(waitFor([&] { return sheet.isVisible(); }));
    writes = 0;
    closers[i]();
    EXPECT_FALSE(store().showsInfoCenter());
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(writes, 1);
  }
}
