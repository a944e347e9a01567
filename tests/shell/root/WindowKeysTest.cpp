// The keyboard in the whole window with the real screens: Tab between the screens' key
// catchers and the window's controls, and the preview holding the keys over what it covers.
#include "app/ApplicationScreens.h"
#include "app/detail/DetailGrid.h"
#include "app/detail/DetailKeyView.h"
#include "app/results/CleanupButton.h"
#include "app/results/GridKeyView.h"
#include "app/shell/root/HeaderBar.h"
#include "app/shell/theme/ThemedButton.h"
#include "tests/shell/root/RootViewFixture.h"

#include <QTest>

using lumora::AppStore;

namespace {

class WindowKeys : public roottest::RootViewTest {
protected:
  WindowKeys() { factory = lumora::applicationScreens(); }

  /// The results of `count` groups of three photos, with the grid's keys.
  void showResults(int count) {
    view();
    std::vector<lumora::PhotoItem> items;
    std::vector<lumora::PhotoGroup> groups;
    for (int i = 0; i < count; ++i) {
      groups.push_back(storetest::group("g" + std::to_string(i) + "-", 3));
      items.insert(items.end(), groups.back().items.begin(), groups.back().items.end());
    }
    rig.state().setItems(items);
    rig.state().setGroups(groups);
    rig.state().setPhase(AppStore::Phase::ready());
    ASSERT_TRUE(roottest::waitFor([&] { return focusIs<lumora::GridKeyView>(); }));
  }
  void showDetail() {
    showResults(4);
    rig.store->openDetail(rig.store->groups()[1]);
    ASSERT_TRUE(roottest::waitFor([&] { return focusIs<lumora::DetailKeyView>(); }));
  }

  template <typename Widget> bool focusIs() {
    return qobject_cast<Widget *>(QApplication::focusWidget()) != nullptr;
  }
  /// A key as the window delivers it: to the focus widget, shortcuts first.
  static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    roottest::spin(5);
  }
  /// Tabs at least once, on until a `Widget` holds the focus: the other stops on the way,
  /// or nothing when no `Widget` came within 40 Tabs.
  template <typename Widget> std::optional<std::vector<QWidget *>> tabTo() {
    std::vector<QWidget *> stops;
    for (press(Qt::Key_Tab); !focusIs<Widget>(); press(Qt::Key_Tab)) {
      if (stops.size() == 40) {
        return std::nullopt;
      }
      stops.push_back(QApplication::focusWidget());
    }
    return stops;
  }
  std::optional<std::string> focusedPhoto() { return rig.store->focusedPhotoID(); }
};

} // namespace

TEST_F(WindowKeys, tabLeavesTheGridForVisibleControlsAndTheArrowsWorkAgainBackInIt) {
  showResults(6);
  const std::optional<std::vector<QWidget *>> stops = tabTo<lumora::GridKeyView>();
  ASSERT_TRUE(stops && !stops->empty());
  for (QWidget *stop : *stops) {
    EXPECT_TRUE(stop->isVisible()) << stop->metaObject()->className();
    EXPECT_EQ(qobject_cast<lumora::CleanupButton *>(stop), nullptr); // cards: the grid's keys
  }

  // Tabbed into, the grid shows its focus on a card.
  const std::optional<std::string> shown = rig.store->focusedGroupID();
  EXPECT_TRUE(shown);
  // On a bar's button the arrows neither drive the grid nor move the focus along the bar.
  press(Qt::Key_Tab);
  QWidget *button = QApplication::focusWidget();
  ASSERT_NE(qobject_cast<lumora::ThemedButton *>(button), nullptr);
  press(Qt::Key_Right);
  press(Qt::Key_Down);
  EXPECT_EQ(QApplication::focusWidget(), button);
  EXPECT_EQ(rig.store->focusedGroupID(), shown);

  ASSERT_TRUE(tabTo<lumora::GridKeyView>());
  press(Qt::Key_Right);
  EXPECT_NE(rig.store->focusedGroupID(), shown);
}

TEST_F(WindowKeys, theDetailsKeysComeBackWithTheFocusAndEscapeLeavesThen) {
  showDetail();
  const std::optional<std::string> first = focusedPhoto();
  press(Qt::Key_Tab);
  ASSERT_FALSE(focusIs<lumora::DetailKeyView>());
  press(Qt::Key_Right);
  EXPECT_EQ(focusedPhoto(), first);

  // A click in the grid's empty space hands the keys back; so does Tab, all the way round.
  QWidget *grid = view().detailView()->findChild<lumora::DetailGrid *>()->viewport();
  QTest::mouseClick(grid, Qt::LeftButton, {}, grid->rect().bottomRight() - QPoint(4, 4));
  EXPECT_TRUE(focusIs<lumora::DetailKeyView>());
  ASSERT_TRUE(tabTo<lumora::DetailKeyView>());
  press(Qt::Key_Right);
  EXPECT_NE(focusedPhoto(), first);
  press(Qt::Key_Escape);
  EXPECT_FALSE(rig.store->detailGroupID());
}

TEST_F(WindowKeys, thePreviewKeepsItsKeysAndNothingItCoversTakesTabOrSpace) {
  showDetail();
  press(Qt::Key_Return);
  QWidget *preview = view().previewView();
  ASSERT_NE(preview, nullptr);
  ASSERT_TRUE(roottest::waitFor([&] { return QApplication::focusWidget() == preview; }));
  press(Qt::Key_Tab);
  press(Qt::Key_Backtab);
  EXPECT_EQ(QApplication::focusWidget(), preview);

  // Plain arrows step; with Shift or Alt held they do nothing.
  press(Qt::Key_Right);
  EXPECT_EQ(rig.store->previewContext()->index, 1);
  for (const Qt::KeyboardModifier modifier : {Qt::ShiftModifier, Qt::AltModifier}) {
    press(Qt::Key_Right, modifier);
    press(Qt::Key_Left, modifier);
  }
  EXPECT_EQ(rig.store->previewContext()->index, 1);

  // The covered folder button cannot keep the focus, so Space does not open the chooser;
  // the preview's keys work on.
  view().headerBar()->folderButton()->setFocus(Qt::OtherFocusReason);
  EXPECT_EQ(QApplication::focusWidget(), preview);
  press(Qt::Key_Space);
  EXPECT_EQ(rig.pickerCalls, 0);
  press(Qt::Key_Left);
  EXPECT_EQ(rig.store->previewContext()->index, 0);

  // Escape closes it, and the detail has its keys again.
  press(Qt::Key_Escape);
  EXPECT_FALSE(rig.store->previewContext());
  ASSERT_TRUE(roottest::waitFor([&] { return focusIs<lumora::DetailKeyView>(); }));
  const std::optional<std::string> before = focusedPhoto();
  press(Qt::Key_Right);
  EXPECT_NE(focusedPhoto(), before);

  // Closed while the window is in the background, the detail has the keys on return.
  press(Qt::Key_Return);
  ASSERT_TRUE(roottest::waitFor([&] { return view().previewView() != nullptr; }));
  QApplication::setActiveWindow(nullptr);
  rig.store->setPreviewContext(std::nullopt);
  EXPECT_NE(qobject_cast<lumora::DetailKeyView *>(window()->focusWidget()), nullptr);
}
