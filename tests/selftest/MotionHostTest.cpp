#include "app/detail/GroupDetailView.h"
#include "app/selftest/ReducedMotionCheck.h"
#include "app/selftest/ScreenTestHost.h"
#include "app/selftest/SelfTestHarness.h"
#include "app/selftest/ToastProbeView.h"
#include "app/shell/motion/Motion.h"
#include "app/shell/transition/EntranceEffect.h"
#include "platform/gui/ReduceMotion.h"
#include "tests/selftest/support/SelfTestFixtures.h"

#include <gtest/gtest.h>

namespace {

using namespace lumora;

// Reduced motion as the test asks, the desktop's setting again afterwards.
class MotionHostTest : public ::testing::Test {
protected:
  MotionHostTest() : store(selftesttest::readyStore(3)), screens(selftesttest::realScreens()) {}
  ~MotionHostTest() override { platform::setReduceMotionOverride(std::nullopt); }

  // The horizontal start of the detail screen's entrance after opening the first group.
  qreal detailEntranceOffset(ScreenTestHost::Kind kind) {
    auto *host = new ScreenTestHost(*store, screens, kind);
    host->setFixedSize(900, 700);
    window.reset(SelfTestHarness::hostWindow(host, QRect(QPoint(60, 60), QSize(900, 700))));
    SelfTestHarness::wait(50);
    store->openDetail(store->groups().front());
    auto *detail = host->findChild<GroupDetailView *>();
    auto *entrance = detail ? qobject_cast<EntranceEffect *>(detail->graphicsEffect()) : nullptr;
    return entrance ? entrance->offset().x() : -1;
  }

  std::unique_ptr<AppStore> store;
  ScreenFactory screens;
  std::unique_ptr<QWidget> window;
};

TEST_F(MotionHostTest, UnderReducedMotionTheDetailMovesInFromTheTrailingEdge) {
  platform::setReduceMotionOverride(true);
  EXPECT_EQ(detailEntranceOffset(ScreenTestHost::Kind::motion), 900);
  store->setDetailGroupID(std::nullopt);
  platform::setReduceMotionOverride(false);
  EXPECT_EQ(detailEntranceOffset(ScreenTestHost::Kind::motion), 0) << "a plain cross-fade";
  store->setDetailGroupID(std::nullopt);
  platform::setReduceMotionOverride(true);
  EXPECT_EQ(detailEntranceOffset(ScreenTestHost::Kind::keyboard), 0);
}

TEST_F(MotionHostTest, TheToastProbeRunsItsSpringWhateverTheReducedMotionSetting) {
  platform::setReduceMotionOverride(true);
  ToastProbeView probe(*store);
  probe.resize(420, 120);
  probe.setToastVisible(true);
  EXPECT_EQ(probe.runningCurve().description(), MotionCurve::spring(0.34, 0.70).description());
}

TEST_F(MotionHostTest, TheTokenCheckReadsTheCurvesTheViewsRun) {
  // The descriptions follow the setting as the views' animations do: without reduced
  // motion the springs stay springs, so the check can fail where the views would.
  platform::setReduceMotionOverride(false);
  const reducedmotioncheck::Descriptions views = reducedmotioncheck::viewDescriptions();
  EXPECT_EQ(views.reducedSpring(0.42, 0.92), MotionCurve::spring(0.42, 0.92).description());
  platform::setReduceMotionOverride(true);
  EXPECT_EQ(views.reducedSpring(0.42, 0.92), motion::fast().description());
  EXPECT_EQ(views.reducedFast(), motion::fast().description());
}

} // namespace
