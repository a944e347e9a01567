#include "app/shell/components/ShrinkingLabel.h"
#include "app/shell/components/StatPill.h"
#include "app/shell/root/ControlsBar.h"
#include "app/shell/root/HeaderBar.h"
#include "app/shell/theme/ThemedButton.h"
#include "tests/shell/root/RootViewFixture.h"

#include <QLabel>
#include <QSlider>
#include <QTest>

using lumora::AppStore;

namespace {

class HeaderBarTest : public roottest::RootViewTest {
protected:
  HeaderBarTest() { rig.pickedFolder.clear(); } // the picker cancels: no scan starts
  lumora::HeaderBar &header() { return *view().headerBar(); }
  void pressCtrl(int key) {
    QTest::keyClick(window(), static_cast<Qt::Key>(key), Qt::ControlModifier);
  }
};

using ControlsBarTest = roottest::RootViewTest;

} // namespace

TEST_F(HeaderBarTest, isCompactBelowA1120PixelBar) {
  view(QSize(1119, 780));
  EXPECT_TRUE(header().isCompact());
  EXPECT_TRUE(header().libraryButton()->text().isEmpty());
  EXPECT_TRUE(header().rescanButton()->text().isEmpty());
  EXPECT_FALSE(header().folderButton()->text().isEmpty());
  resize(1120, 780);
  EXPECT_FALSE(header().isCompact());
  EXPECT_EQ(header().libraryButton()->text(), QStringLiteral("照片图库"));
  EXPECT_FALSE(lumora::HeaderBar::isCompactWidth(0)); // unmeasured counts as wide
}

// The window takes its default size as it is first shown, after a first layout at a
// narrower size: the bar's first frame already shows the wide labels, and only a later change
// between wide and compact animates.
TEST_F(HeaderBarTest, theFirstFrameOfTheDefaultWindowHasTheWideLabelsAtFullStrength) {
  lumora::MainWindow window;
  auto *content = new lumora::ContentView(*rig.store, factory, &window);
  window.setContent(content);
  window.show();
  roottest::spin(20);
  ASSERT_GE(content->width(), 1150);
  const lumora::HeaderBar *bar = content->headerBar();
  EXPECT_EQ(bar->libraryButton()->text(), QStringLiteral("照片图库"));
  EXPECT_EQ(bar->libraryButton()->graphicsEffect(), nullptr);
  EXPECT_EQ(bar->rescanButton()->graphicsEffect(), nullptr);
  window.resize(1000, 780);
  roottest::spin(20);
  EXPECT_TRUE(bar->isCompact());
  EXPECT_NE(bar->libraryButton()->graphicsEffect(), nullptr);
}

TEST_F(HeaderBarTest, buttonsAndShortcutsAreDeadWhileScanning) {
  view();
  rig.state().setFolderURL(QUrl::fromLocalFile(rig.pickedFolder + "/x"));
  rig.state().setPhase(AppStore::Phase::scanning());
  EXPECT_FALSE(header().libraryButton()->isEnabled());
  EXPECT_FALSE(header().folderButton()->isEnabled());
  EXPECT_FALSE(header().rescanButton()->isEnabled());
  pressCtrl(Qt::Key_O);
  pressCtrl(Qt::Key_R);
  EXPECT_EQ(rig.pickerCalls, 0);
  EXPECT_TRUE(rig.store->phase().isScanning());
}

TEST_F(HeaderBarTest, rescanNeedsAFolderAlsoAfterALibraryScan) {
  view();
  EXPECT_FALSE(header().rescanButton()->isEnabled());
  EXPECT_TRUE(header().libraryButton()->isEnabled());
  EXPECT_EQ(header().sourceLabel()->text(), QStringLiteral("还没有选择文件夹"));
  rig.state().setSourceKind(AppStore::SourceKind::library);
  rig.state().setPhase(AppStore::Phase::ready());
  EXPECT_FALSE(header().rescanButton()->isEnabled());
  EXPECT_EQ(header().sourceLabel()->text(), lumora::localized::string("「照片」App 图库"));
}

TEST_F(HeaderBarTest, ctrlOOpensThePickerOnceOnTheIdleScreenAndOverTheDetail) {
  view();
  pressCtrl(Qt::Key_O);
  EXPECT_EQ(rig.pickerCalls, 1);
  rig.state().setGroups(storetest::groups(1));
  rig.store->setDetailGroupID(rig.store->groups().front().id);
  ASSERT_NE(view().detailView(), nullptr);
  pressCtrl(Qt::Key_O);
  EXPECT_EQ(rig.pickerCalls, 2);
}

TEST_F(HeaderBarTest, aLongPathIsElidedInTheMiddleAndWholeInTheTooltip) {
  const QString path = "/home/someone/" + QString("很长的文件夹名字").repeated(30) + "/end";
  view();
  rig.state().setFolderURL(QUrl::fromLocalFile(path));
  roottest::spin(10);
  const QString shown = header().sourceLabel()->shownText();
  EXPECT_TRUE(shown.startsWith("/home/someone/"));
  EXPECT_TRUE(shown.endsWith("/end"));
  EXPECT_TRUE(shown.contains(QChar(0x2026)));
  EXPECT_EQ(header().sourceRow()->toolTip(), path);
}

TEST_F(HeaderBarTest, clickingAButtonLeavesTheKeyboardFocusWhereItWas) {
  view();
  QSlider *slider = view().controlsBar()->slider();
  slider->setFocus();
  ASSERT_TRUE(roottest::waitFor([&] { return slider->hasFocus(); }));
  QTest::mouseClick(header().folderButton(), Qt::LeftButton);
  EXPECT_EQ(rig.pickerCalls, 1);
  EXPECT_TRUE(slider->hasFocus());
  EXPECT_EQ(header().folderButton()->focusPolicy(), Qt::TabFocus);
  EXPECT_EQ(slider->focusPolicy(), Qt::TabFocus);
}

TEST_F(ControlsBarTest, percentageFollowsTheThresholdInSinglePrecision) {
  lumora::ControlsBar &bar = *view().controlsBar();
  EXPECT_EQ(bar.valueLabel()->text(), QStringLiteral("62%"));
  rig.store->setThreshold(0.18f);
  EXPECT_EQ(bar.valueLabel()->text(), QStringLiteral("77%"));
  rig.store->setThreshold(0.55f);
  EXPECT_EQ(bar.valueLabel()->text(), QStringLiteral("31%"));
  EXPECT_EQ(bar.slider()->value(), 37);
  bar.slider()->setValue(12);
  EXPECT_EQ(rig.store->threshold(), 0.30f);
}

TEST_F(ControlsBarTest, theResetLinkShowsOneStepAwayAndGoesAfterItsPress) {
  lumora::ControlsBar &bar = *view().controlsBar();
  EXPECT_FALSE(bar.resetLink()->isVisible());
  rig.store->setThreshold(0.29f);
  EXPECT_TRUE(bar.resetLink()->isVisible());
  rig.store->setThreshold(0.31f);
  EXPECT_TRUE(bar.resetLink()->isVisible());
  QTest::mouseClick(bar.resetLink(), Qt::LeftButton);
  EXPECT_EQ(rig.store->threshold(), 0.30f);
  EXPECT_FALSE(bar.resetLink()->isVisible());
  EXPECT_EQ(bar.slider()->value(), 12);
}

TEST_F(ControlsBarTest, theHintShowsFromA1040PixelBar) {
  view(QSize(1040, 780));
  EXPECT_EQ(view().controlsBar()->width(), 1040);
  EXPECT_TRUE(view().controlsBar()->hintLabel()->isVisible());
  EXPECT_EQ(view().controlsBar()->hintLabel()->parentWidget()->toolTip(),
            QStringLiteral("阈值 0.30"));
  resize(1039, 780);
  EXPECT_FALSE(view().controlsBar()->hintLabel()->isVisible());
}

TEST_F(ControlsBarTest, theSpinnerShowsExactlyWhileRegrouping) {
  lumora::ControlsBar &bar = *view().controlsBar();
  EXPECT_FALSE(bar.spinner()->isVisible());
  rig.state().setIsRegrouping(true);
  EXPECT_TRUE(bar.spinner()->isVisible());
  rig.state().setIsRegrouping(false);
  EXPECT_FALSE(bar.spinner()->isVisible());
}

TEST_F(ControlsBarTest, anOffGridStoreValueIsShownWithoutBeingWrittenBack) {
  lumora::ControlsBar &bar = *view().controlsBar();
  rig.store->setThreshold(0.42000002f);
  EXPECT_EQ(bar.slider()->value(), 24);
  EXPECT_EQ(rig.store->threshold(), 0.42000002f);
  EXPECT_EQ(bar.valueLabel()->text(), QStringLiteral("47%"));
}

TEST_F(ControlsBarTest, pillsReadZeroZeroAndADashBeforeAScan) {
  lumora::ControlsBar &bar = *view().controlsBar();
  EXPECT_EQ(bar.photosPill()->value(), QStringLiteral("0"));
  EXPECT_EQ(bar.groupsPill()->value(), QStringLiteral("0"));
  EXPECT_EQ(bar.speedPill()->value(), QStringLiteral("—"));
  rig.state().setLastResult(lumora::ScanResult{});
  EXPECT_EQ(bar.speedPill()->value(), QStringLiteral("—"));
}
