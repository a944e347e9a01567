// The start screen: its two ways to begin, and no shortcut of its own.
#include "app/shell/screens/IdleStateView.h"
#include "app/shell/components/FeatureRow.h"
#include "app/shell/theme/ThemedButton.h"
#include "tests/shell/support/ScreenFixture.h"

#include <QShortcut>

using namespace lumora;
using namespace shelltest;

using IdleStateViewTest = ScreenFixture;

TEST_F(IdleStateViewTest, theFolderButtonScansTheChosenFolderAndCtrlOIsLeftToTheHeader) {
  writeDistinct(2);
  auto *view = host(new IdleStateView(store()));
  EXPECT_EQ(view->findChildren<FeatureRow *>().size(), 5);
  EXPECT_TRUE(view->findChildren<QShortcut *>().isEmpty());
  QTest::keyClick(&window(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(pickerOpened, 0);

  EXPECT_EQ(view->folderButton()->text(), "选择文件夹…");
  EXPECT_EQ(view->folderButton()->buttonStyle(), ThemedButton::Style::prominent);
  EXPECT_EQ(view->libraryButton()->buttonStyle(), ThemedButton::Style::bordered);
  QTest::mouseClick(view->folderButton(), Qt::LeftButton);
  EXPECT_EQ(pickerOpened, 1);
  EXPECT_TRUE(store().phase().isScanning());
  // The library button does nothing while a scan runs.
  QTest::mouseClick(view->libraryButton(), Qt::LeftButton);
  EXPECT_EQ(store().sourceKind(), AppStore::SourceKind::folder);
  ASSERT_TRUE(waitForPhase(AppStore::Phase::Kind::ready));
}
