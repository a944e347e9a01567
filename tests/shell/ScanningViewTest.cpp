// The scanning card: what it shows for each progress, and its Escape shortcut.
#include "app/shell/screens/ScanningView.h"
#include "app/shell/components/ShrinkingLabel.h"
#include "app/shell/screens/LinearProgressBar.h"
#include "app/shell/screens/RollingHeadline.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/store/AppStoreStateAccess.h"
#include "tests/shell/support/ScreenFixture.h"

#include <QShortcut>

using namespace lumora;
using namespace shelltest;
using Form = LinearProgressBar::Form;

namespace {

ScanProgress progress(ScanPhase phase, std::int64_t done, std::int64_t total, QString name = {}) {
  return ScanProgress{phase, done, total, std::move(name), 1.0, std::nullopt};
}

} // namespace

class ScanningViewTest : public ScreenFixture {
protected:
  void show() {
    m_view = host(new ScanningView(store()));
    AppStore::StateAccess(store()).setPhase(AppStore::Phase::scanning());
  }
  void setProgress(std::optional<ScanProgress> value) {
    AppStore::StateAccess(store()).setProgress(std::move(value));
  }
  QString text(const char *name) const {
    if (auto *label = m_view->findChild<QLabel *>(name)) {
      return label->isVisibleTo(m_view) ? label->text() : QString();
    }
    return m_view->findChild<ShrinkingLabel *>(name)->text();
  }
  Form barForm() const { return m_view->findChild<LinearProgressBar *>("progressBar")->form(); }
  ThemedButton *pauseButton() const { return m_view->findChild<ThemedButton *>("pauseButton"); }

  ScanningView *m_view = nullptr;
};

TEST_F(ScanningViewTest, eachProgressShowsItsPercentageBarAndDetail) {
  show();
  EXPECT_EQ(text("percent"), QString());
  EXPECT_EQ(barForm(), Form::indeterminate);
  EXPECT_EQ(text("subtitle"), "正在准备… · 全部在本机完成，不上传任何照片");
  EXPECT_EQ(m_view->findChild<RollingHeadline *>("headline")->text(), store().progressHeadline());
  EXPECT_EQ(text("detail"), "正在读取文件列表…");

  setProgress(progress(ScanPhase::enumerating, 0, 0, "a.jpg"));
  EXPECT_EQ(text("percent"), QString());
  EXPECT_EQ(barForm(), Form::indeterminate);
  EXPECT_EQ(text("detail"), "a.jpg");

  const std::pair<std::int64_t, const char *> cases[] = {{1, "33%"}, {2, "67%"}, {5, "100%"}};
  for (const auto &[done, percent] : cases) {
    setProgress(progress(ScanPhase::analyzing, done, 3, "b.jpg"));
    EXPECT_EQ(text("percent"), percent);
    EXPECT_EQ(barForm(), Form::determinate);
  }
  EXPECT_DOUBLE_EQ(m_view->findChild<LinearProgressBar *>("progressBar")->fraction(), 1.0);

  AppStore::StateAccess(store()).setSourceKind(AppStore::SourceKind::library);
  EXPECT_EQ(text("detail"),
            localized::string("「照片」App 图库 · 未下载的 iCloud 原图会先下载，单张可能比较慢"));
}

TEST_F(ScanningViewTest, aLongFileNameStaysOnOneLineElidedInTheMiddle) {
  show();
  const QString name = QString(300, QLatin1Char('n')) + QStringLiteral("-end.jpg");
  setProgress(progress(ScanPhase::analyzing, 1, 2, name));
  spin(20);
  auto *detail = m_view->findChild<ShrinkingLabel *>("detail");
  EXPECT_EQ(detail->text(), name);
  EXPECT_TRUE(detail->shownText().startsWith(QStringLiteral("nnn")));
  EXPECT_TRUE(detail->shownText().endsWith(QStringLiteral("-end.jpg")));
  EXPECT_LT(detail->shownText().size(), name.size());
  EXPECT_EQ(detail->toolTip(), name);
  EXPECT_LE(detail->height(), 2 * detail->fontMetrics().height());
}

TEST_F(ScanningViewTest, escapePausesARealScanOnceAndOnlyWhileTheButtonIsEnabled) {
  writeDistinct(3);
  gate().holdAtStart();
  store().chooseFolder();
  ASSERT_TRUE(waitFor([&] { return gate().waiting() > 0; }));
  m_view = host(new ScanningView(store()));
  storetest::SignalCounter requests(&store(), &AppStore::isPauseRequestedChanged);
  ASSERT_EQ(m_view->findChildren<QShortcut *>().size(), 1);

  QTest::keyClick(&window(), Qt::Key_Escape);
  EXPECT_TRUE(store().isPauseRequested());
  EXPECT_FALSE(pauseButton()->isEnabled());
  EXPECT_TRUE(m_view->findChildren<QShortcut *>().isEmpty());
  QTest::keyClick(&window(), Qt::Key_Escape);
  QTest::mouseClick(pauseButton(), Qt::LeftButton);
  EXPECT_EQ(requests.count(), 1);

  ASSERT_TRUE(waitForPhase(AppStore::Phase::Kind::ready));
  EXPECT_TRUE(store().isPaused());
}

TEST_F(ScanningViewTest, noShortcutExistsWhileTheCardIsHidden) {
  show();
  ASSERT_EQ(m_view->findChildren<QShortcut *>().size(), 1);
  m_view->hide();
  EXPECT_TRUE(m_view->findChildren<QShortcut *>().isEmpty());
  QTest::keyClick(&window(), Qt::Key_Escape);
  EXPECT_FALSE(store().isPauseRequested());
  m_view->show();
  EXPECT_EQ(m_view->findChildren<QShortcut *>().size(), 1);
}
