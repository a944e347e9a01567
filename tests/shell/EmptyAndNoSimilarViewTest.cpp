// The empty-results and no-similar screens: threshold steps, messages and buttons.
#include "app/shell/screens/EmptyResultsView.h"
#include "app/shell/screens/NoSimilarGroupsView.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/store/AppStoreStateAccess.h"
#include "platform/core/photolibrary/PhotoLibrary.h"
#include "tests/shell/support/ScreenFixture.h"

#include <QFile>

using namespace lumora;
using namespace shelltest;

namespace {

QStringList titles(const QWidget &view) {
  QStringList list;
  for (QAbstractButton *button : visibleButtons(view)) {
    list << button->text();
  }
  return list;
}

} // namespace

class NoSimilarGroupsViewTest : public ScreenFixture {
protected:
  void SetUp() override {
    writeDistinct(3);
    store().chooseFolder();
    ASSERT_TRUE(waitForPhase(AppStore::Phase::Kind::ready));
    m_view = host(new NoSimilarGroupsView(store()));
  }
  QString message() const { return m_view->messageLabel()->text(); }

  NoSimilarGroupsView *m_view = nullptr;
};

TEST_F(NoSimilarGroupsViewTest, looserStepsLandOnTheSlidersValuesUpToTheLoosest) {
  EXPECT_TRUE(message().startsWith("已分析 3 张照片，在当前的相似度（62%）下"));
  const int hundredths[] = {36, 42, 48, 54, 55};
  for (const int step : hundredths) {
    QTest::mouseClick(m_view->looserButton(), Qt::LeftButton);
    EXPECT_EQ(store().threshold(), static_cast<float>(step) / 100.0f) << step;
  }
  EXPECT_FALSE(m_view->looserButton()->isEnabled());
  EXPECT_TRUE(m_view->stricterButton()->isVisible());
  EXPECT_TRUE(message().contains("（31%）"));
  QTest::mouseClick(m_view->looserButton(), Qt::LeftButton);
  EXPECT_EQ(store().threshold(), 0.55f);
}

TEST_F(NoSimilarGroupsViewTest, stricterStepsReachTheStrictestAndThenTheButtonGoes) {
  QTest::mouseClick(m_view->stricterButton(), Qt::LeftButton);
  EXPECT_EQ(store().threshold(), 0.24f);
  QTest::mouseClick(m_view->stricterButton(), Qt::LeftButton);
  EXPECT_EQ(store().threshold(), 0.18f);
  EXPECT_FALSE(m_view->stricterButton()->isVisible());
  EXPECT_TRUE(message().contains("（77%）"));
  EXPECT_EQ(titles(*m_view), (QStringList{"把相似度调宽松一些", "重新扫描"}));
  // An off-grid value from elsewhere steps back onto the grid: 0.36 + 0.06 reads 48 %.
  store().setThreshold(0.36f);
  QTest::mouseClick(m_view->looserButton(), Qt::LeftButton);
  EXPECT_EQ(store().threshold(), 0.42f);
  EXPECT_TRUE(message().contains("（48%）"));
  store().setThreshold(0.2f);
  QTest::mouseClick(m_view->stricterButton(), Qt::LeftButton);
  EXPECT_EQ(store().threshold(), 0.18f);
}

TEST_F(NoSimilarGroupsViewTest, rescanStartsAScanOfTheFolder) {
  QTest::mouseClick(buttonTitled(*m_view, "重新扫描"), Qt::LeftButton);
  EXPECT_TRUE(store().phase().isScanning());
  ASSERT_TRUE(waitForPhase(AppStore::Phase::Kind::ready));
}

TEST_F(NoSimilarGroupsViewTest, photosSkippedForTheirSizeAreSaidWithTheReasonThatApplies) {
  EXPECT_FALSE(message().contains("过大"));
  ScanResult last = *store().lastResult();
  last.skippedCount = 4;
  last.tooLargeCount = 3;
  last.tooManyPixelsCount = 1;
  AppStore::StateAccess(store()).setLastResult(last);
  EXPECT_TRUE(message().startsWith("已分析 3 张照片，"));
  EXPECT_TRUE(message().endsWith("\n跳过 2 张过大的照片（解码所需内存超出本机上限） · "
                                 "跳过 1 张过大的照片（像素数超出可处理的上限）"))
      << qPrintable(message());
  last.tooManyPixelsCount = 3;
  AppStore::StateAccess(store()).setLastResult(last);
  EXPECT_TRUE(message().endsWith("\n跳过 3 张过大的照片（像素数超出可处理的上限）"));
}

using EmptyResultsViewTest = ScreenFixture;

TEST_F(EmptyResultsViewTest, aFolderOfUnreadableFilesShowsTheFolderVariant) {
  for (const char *name : {"a.jpg", "b.png"}) {
    QFile file(QString::fromStdString((photos() / name).string()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(9000, 'x'));
  }
  store().chooseFolder();
  ASSERT_TRUE(waitForPhase(AppStore::Phase::Kind::ready));
  ASSERT_TRUE(store().items().empty());
  auto *view = host(new EmptyResultsView(store()));
  EXPECT_EQ(view->titleLabel()->text(), "这个文件夹里没有可分析的照片");
  EXPECT_EQ(view->messageLabel()->text(), QString::fromUtf8(EmptyResultsView::kFolderMessage));
  EXPECT_EQ(titles(*view), (QStringList{"选择其它文件夹…", "重新扫描"}));
  AppStore::StateAccess(store()).setFolderURL(std::nullopt);
  EXPECT_EQ(titles(*view), QStringList{"选择其它文件夹…"});
  // Photos found but left out for their size are said, not taken for a wrong format.
  ScanResult last = *store().lastResult();
  last.tooLargeCount = 2;
  last.tooManyPixelsCount = 2;
  AppStore::StateAccess(store()).setLastResult(last);
  EXPECT_EQ(view->messageLabel()->text(), QString::fromUtf8(EmptyResultsView::kFolderMessage) +
                                              "\n跳过 2 张过大的照片（像素数超出可处理的上限）");
}

TEST_F(EmptyResultsViewTest, theLibraryVariantOpensOurLibraryFolder) {
  std::vector<QUrl> opened;
  auto *view = host(new EmptyResultsView(store(), [&](const QUrl &url) {
    opened.push_back(url);
    return true;
  }));
  AppStore::StateAccess(store()).setSourceKind(AppStore::SourceKind::library);
  EXPECT_EQ(view->titleLabel()->text(), "「照片」图库中没有可分析的照片");
  EXPECT_EQ(view->messageLabel()->text(),
            "图库里没有找到可以分析的照片。请确认图库文件夹里已经有照片，或者改用文件夹整理。");
  EXPECT_EQ(titles(*view), (QStringList{"重新扫描图库", "改用文件夹…", "打开图库文件夹"}));
  QTest::mouseClick(buttonTitled(*view, "打开图库文件夹"), Qt::LeftButton);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].toLocalFile().toStdString(),
            platform::PhotoLibrary::defaultLocation().string());
  EXPECT_EQ(store().phase().kind, AppStore::Phase::Kind::idle);
}
