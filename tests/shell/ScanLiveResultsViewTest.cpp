// The live results screen and its banner over a real scan, and every headline and bar form.
#include "app/shell/screens/ScanLiveResultsView.h"
#include "app/shell/screens/LinearProgressBar.h"
#include "app/shell/screens/RollingHeadline.h"
#include "app/shell/screens/ScanStatusBanner.h"
#include "app/store/AppStoreStateAccess.h"
#include "platform/gui/ReduceMotion.h"
#include "tests/shell/support/ScreenFixture.h"

#include <QStackedWidget>

using namespace lumora;
using namespace shelltest;
using Form = LinearProgressBar::Form;

namespace {

/// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
  explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
  int count = 0;

protected:
  bool eventFilter(QObject *, QEvent *event) override {
    count += event->type() == QEvent::Paint ? 1 : 0;
    return false;
  }
};

std::vector<PhotoItem> somePhotos(int count) {
  std::vector<PhotoItem> list;
  for (int i = 0; i < count; ++i) {
    list.push_back(storetest::photo("/p/" + std::to_string(i)));
  }
  return list;
}

} // namespace

class ScanLiveResultsViewTest : public ScreenFixture {
protected:
  ScanLiveResultsView *show() { return m_view = host(new ScanLiveResultsView(store(), {})); }
  QString headline() const {
    return m_view->banner()->findChild<RollingHeadline *>("headline")->text();
  }
  QAbstractButton *bannerButton() const {
    return m_view->banner()->findChild<QAbstractButton *>("bannerButton");
  }
  QString visibleHint() const {
    auto *hint = m_view->findChild<QWidget *>("findingHint");
    auto *paused = m_view->findChild<QWidget *>("pausedHint");
    return hint->isVisible() ? "finding" : paused->isVisible() ? "paused" : "none";
  }
  AppStore::StateAccess state() { return AppStore::StateAccess(store()); }

  ScanLiveResultsView *m_view = nullptr;
};

TEST_F(ScanLiveResultsViewTest, aRealScanShowsTheHintPausesContinuesAndEndsOnTheGrid) {
  writeDistinct(4);
  store().chooseFolder();
  ASSERT_TRUE(waitForPhase(AppStore::Phase::Kind::ready));
  writeBurst("burst-", 40, 3, 1'700'100'000);
  // The rescan hands over the four cached photos at once; it waits there.
  gate().holdAfterPartial([](const std::vector<PhotoItem> &batch) { return batch.size() == 4; });
  store().retry();
  ASSERT_TRUE(waitFor([&] { return gate().waiting() > 0 && store().items().size() == 4; }));
  show();
  EXPECT_EQ(visibleHint(), "finding");
  EXPECT_EQ(m_view->findChild<QLabel *>("findingText")->text(), "已发现 4 张照片，正在寻找相似组…");
  EXPECT_EQ(m_view->grid(), nullptr);

  QTest::mouseClick(bannerButton(), Qt::LeftButton);
  EXPECT_EQ(headline(), "正在暂停…");
  EXPECT_EQ(bannerButton()->text(), "正在暂停…");
  EXPECT_FALSE(bannerButton()->isEnabled());
  ASSERT_TRUE(waitFor([&] { return store().isPaused() && !store().phase().isScanning(); }, 60000));
  EXPECT_EQ(headline(), "已暂停 · 已分析 4 / 7 张");
  EXPECT_EQ(bannerButton()->text(), "继续扫描");
  EXPECT_EQ(visibleHint(), "paused");
  EXPECT_EQ(m_view->findChild<QLabel *>("pausedDetail")->text(),
            "已分析 4 / 7 张，还没有找到相似组。继续扫描可以补齐剩余 3 张。");

  gate().release();
  QTest::mouseClick(buttonTitled(*m_view->findChild<QWidget *>("pausedHint"), "继续扫描"),
                    Qt::LeftButton);
  EXPECT_TRUE(store().phase().isScanning());
  ASSERT_TRUE(waitFor([&] { return !store().groups().empty(); }, 60000));
  ASSERT_NE(m_view->grid(), nullptr);
  EXPECT_EQ(m_view->grid()->objectName(), "ResultsViewPlaceholder");
  EXPECT_TRUE(m_view->grid()->isVisible());
  ASSERT_TRUE(waitForPhase(AppStore::Phase::Kind::ready));
  EXPECT_GE(store().lastResult()->cacheHitCount, 4);
}

TEST_F(ScanLiveResultsViewTest, theHeadlineFollowsEveryBranchWithGroupedNumbers) {
  show();
  state().setPhase(AppStore::Phase::scanning());
  state().setItems(somePhotos(2));
  EXPECT_EQ(headline(), "正在分析 2 张 · 已发现 0 组");
  state().setProgress(ScanProgress{ScanPhase::analyzing, 2, 12345, {}, 1, std::nullopt});
  EXPECT_EQ(headline(), "正在分析 2 / 12,345 张 · 已发现 0 组");
  state().setProgress(ScanProgress{ScanPhase::enumerating, 0, 0, {}, 1, std::nullopt});
  EXPECT_EQ(headline(), "正在查找照片…");
  state().setProgress(ScanProgress{ScanPhase::finishing, 2, 2, {}, 1, std::nullopt});
  EXPECT_EQ(headline(), "正在保存结果…");
  state().setIsPauseRequested(true);
  EXPECT_EQ(headline(), "正在暂停…");

  state().setIsPauseRequested(false);
  state().setProgress(std::nullopt);
  state().setIsPaused(true);
  // A paused scan left in the scanning phase (while its groups are refreshed) keeps the
  // scanning form, still pausing: it does not seem to scan on.
  EXPECT_EQ(headline(), "正在暂停…");
  EXPECT_FALSE(bannerButton()->isEnabled());
  state().setPhase(AppStore::Phase::ready());
  EXPECT_EQ(headline(), "已暂停 · 已分析 2 张");
  ScanResult partial;
  partial.fileCount = 5;
  state().setLastResult(partial);
  EXPECT_EQ(headline(), "已暂停 · 已分析 2 / 5 张");
}

TEST_F(ScanLiveResultsViewTest, theBarIsDeterminateWithASliverOrIndeterminate) {
  show();
  LinearProgressBar *bar = m_view->banner()->progressBar();
  state().setPhase(AppStore::Phase::scanning());
  state().setProgress(ScanProgress{ScanPhase::analyzing, 0, 5, {}, 1, std::nullopt});
  // The fill moves to its value however late the frames come.
  ASSERT_TRUE(waitFor([&] { return !bar->isAnimating(); }));
  EXPECT_EQ(bar->form(), Form::determinate);
  EXPECT_DOUBLE_EQ(bar->fillRect().width(), 2.0);
  state().setItems(somePhotos(5));
  ASSERT_TRUE(waitFor([&] { return !bar->isAnimating(); }));
  EXPECT_DOUBLE_EQ(bar->fillRect().width(), bar->width());
  state().setItems(somePhotos(6));
  EXPECT_EQ(bar->form(), Form::indeterminate);
  EXPECT_TRUE(bar->isAnimating());
  // A scan that ran to its end is neither scanning nor paused: the screen is about to give
  // way, and the banner stays as it stood, never in a paused form nobody asked for.
  const QString before = headline();
  state().setPhase(AppStore::Phase::ready());
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(headline(), before);
}

TEST_F(ScanLiveResultsViewTest, underReducedMotionTheStillBarRepaintsNothing) {
  platform::setReduceMotionOverride(true);
  show();
  state().setPhase(AppStore::Phase::scanning());
  LinearProgressBar *bar = m_view->banner()->progressBar();
  ASSERT_EQ(bar->form(), Form::still);
  EXPECT_DOUBLE_EQ(bar->fillRect().width(), bar->width() * 0.3);
  spin(100);
  PaintCounter paints(bar);
  spin(500);
  EXPECT_EQ(paints.count, 0);
  EXPECT_FALSE(bar->isAnimating());
  platform::setReduceMotionOverride(false);
  EXPECT_EQ(bar->form(), Form::indeterminate);
  platform::setReduceMotionOverride(std::nullopt);
}
