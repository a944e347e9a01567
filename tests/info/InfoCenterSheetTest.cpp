#include "app/shell/InfoCenterSheet.h"
#include "app/shell/ScreenFactory.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"
#include "tests/info/support/InfoFixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
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

// The application's palette is the content's (as the running application sets it), so
// attaching the tab's page to the sheet brings no palette change of Qt's own; the sheet was
// built while the window was still dark.
TEST_F(InfoCenterSheetTest, everyTextTakesTheWindowsSchemeBuiltBeforeItAndChangedAfter) {
  const QPalette applicationPalette = QApplication::palette();
  QApplication::setPalette(Theme::light().palette());
  const auto lightestText = [&] {
    int lightest = 0;
    for (const QLabel *label : sheet.content()->findChildren<QLabel *>()) {
      if (label->isVisible() && !label->text().isEmpty()) {
        lightest = std::max(lightest, label->palette().color(QPalette::WindowText).lightness());
      }
    }
    return lightest;
  };
  for (const auto tab : {AppStoreTypes::InfoTab::about, AppStoreTypes::InfoTab::help}) {
    SCOPED_TRACE(static_cast<int>(tab));
    open(tab);
    ASSERT_TRUE(waitFor([&] { return sheet.isVisible(); }));
    // Light text on the light sheet would be unreadable: every label is dark.
    EXPECT_LT(lightestText(), 128);
    store().setShowsInfoCenter(false);
  }
  // A scheme given to the open sheet later reaches the tab shown then.
  open(AppStoreTypes::InfoTab::about);
  ASSERT_TRUE(waitFor([&] { return sheet.isVisible(); }));
  Theme::setScheme(&sheet, ColorScheme::dark);
  static_cast<InfoCenterView *>(sheet.content())->setTab(AppStoreTypes::InfoTab::help);
  int darkest = 255;
  for (const QLabel *label : sheet.content()->findChildren<QLabel *>()) {
    if (label->isVisible() && !label->text().isEmpty()) {
      darkest = std::min(darkest, label->palette().color(QPalette::WindowText).lightness());
    }
  }
  EXPECT_GT(darkest, 128);
  QApplication::setPalette(applicationPalette);
}
