#include "app/shell/InfoCenterSheet.h"
#include "app/info/InfoTabPicker.h"
#include "app/shell/ScreenFactory.h"
#include "app/shell/theme/FocusHalo.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"
#include "tests/info/support/InfoFixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QScrollArea>
#include <QTest>

using namespace lumora;
using infotest::waitFor;

namespace {

/// The root view's sheet over the real info center, as the application builds it.
class InfoCenterSheetTest : public infotest::InfoFixture {
protected:
  InfoCenterSheetTest() {
    factory.infoCenter = [this](AppStore &shown, AppStoreTypes::InfoTab tab, QWidget *parent) {
      ++built;
      // An export answers at once: a real save dialog would wait for a user.
      return new InfoCenterView(
          shown, tab, parent,
          [](QWidget *, const DiagnosticsExporter::SaveRequest &) { return std::nullopt; });
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

// Tab walks picker, scroll region, the tab's buttons (each scrolled into view), then 好, every
// stop wearing the ring; Return from any of them presses 好 and leaves the tab alone.
TEST_F(InfoCenterSheetTest, everyTabStopShowsItsRingAndReturnFromAnyOfThemPressesOk) {
  for (const auto tab : {AppStoreTypes::InfoTab::about, AppStoreTypes::InfoTab::help}) {
    SCOPED_TRACE(static_cast<int>(tab));
    open(tab);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
    auto *view = static_cast<InfoCenterView *>(sheet.content());
    view->picker()->setFocus(Qt::TabFocusReason);
    std::vector<QWidget *> stops;
    for (QWidget *focus = QApplication::focusWidget();
         focus != nullptr && (stops.empty() || focus != stops.front());
         focus = QApplication::focusWidget()) {
      stops.push_back(focus);
      ASSERT_NE(FocusHalo::shown(), nullptr) << focus->metaObject()->className();
      EXPECT_EQ(FocusHalo::shown()->control(), focus);
      if (view->content()->isAncestorOf(focus)) {
        const QRect inViewport(focus->mapTo(view->scrollArea()->viewport(), QPoint()),
                               focus->size());
        EXPECT_TRUE(view->scrollArea()->viewport()->rect().contains(inViewport));
      }
      ASSERT_LT(stops.size(), 10U);
      QTest::keyClick(focus, Qt::Key_Tab);
    }
    ASSERT_GE(stops.size(), 4U);
    EXPECT_EQ(stops[1], view->scrollArea());
    EXPECT_EQ(stops.back(), view->okButton());
    for (std::size_t i = 0; i < stops.size(); ++i) {
      SCOPED_TRACE(i);
      open(tab);
      ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
      static_cast<InfoCenterView *>(sheet.content())->picker()->setFocus(Qt::TabFocusReason);
      for (std::size_t tabs = 0; tabs < i; ++tabs) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      }
      // The About tab's help button would switch tabs on Return and keep the sheet open.
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
      EXPECT_FALSE(store().showsInfoCenter());
      EXPECT_FALSE(sheet.isVisible());
    }
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
