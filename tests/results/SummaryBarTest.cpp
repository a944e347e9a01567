// The summary bar and the batch clean-up confirmation over a real store.
#include "app/results/SummaryBar.h"
#include "app/results/BatchCleanupDialog.h"
#include "app/results/SortPicker.h"
#include "app/results/SummaryBarTexts.h"
#include "app/shell/theme/ThemedButton.h"
#include "tests/results/support/ResultsFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLayout>
#include <QMessageBox>
#include <QTest>

using namespace lumora;
using namespace resultstest;

class SummaryBarTest : public ResultsFixture {
protected:
  SummaryBar &bar() {
    if (m_bar == nullptr) {
      m_bar = new SummaryBar(store(), &window);
    }
    return *m_bar;
  }
  ScanResult resultWithSkipped(std::int64_t skipped, bool partial) {
    ScanResult result;
    result.skippedCount = skipped;
    result.isPartial = partial;
    return result;
  }

private:
  SummaryBar *m_bar = nullptr;
};

TEST_F(SummaryBarTest, theNormalRowSumsUpBySource) {
  showGroups({group("/a/", 3, 1500), group("/b/", 2, 1000)});
  EXPECT_EQ(bar().title(), QStringLiteral("2 组 · 可释放 4 KB"));
  EXPECT_EQ(bar().subtitle(), QStringLiteral("清理的照片移到废纸篓，可在文件管理器中恢复"));
  EXPECT_TRUE(bar().trashedText().isEmpty());
  AppStore::StateAccess(store()).setTrashedCount(1234);
  EXPECT_EQ(bar().trashedText(), QStringLiteral("已清理 1,234 张"));

  AppStore::StateAccess(store()).setLastResult(resultWithSkipped(1200, false));
  EXPECT_EQ(bar().subtitle(), QStringLiteral("清理的照片移到废纸篓，可在文件管理器中恢复 · "
                                             "跳过 1,200 张未分析（损坏或过小）"));
  // Partial results of a paused scan tell the skipped count just the same.
  AppStore::StateAccess(store()).setLastResult(resultWithSkipped(3, true));
  EXPECT_EQ(bar().subtitle(), QStringLiteral("清理的照片移到废纸篓，可在文件管理器中恢复 · "
                                             "跳过 3 张未分析（损坏或过小）"));
  AppStore::StateAccess(store()).setLastResult(resultWithSkipped(0, true));
  EXPECT_EQ(bar().subtitle(), QStringLiteral("清理的照片移到废纸篓，可在文件管理器中恢复"));
  // The photos a pause came before are not analysed yet, not damaged.
  ScanResult paused = resultWithSkipped(219, true);
  paused.unreachedCount = 219;
  AppStore::StateAccess(store()).setLastResult(paused);
  EXPECT_EQ(bar().subtitle(), QStringLiteral("清理的照片移到废纸篓，可在文件管理器中恢复"));
  paused.unreachedCount = 217;
  AppStore::StateAccess(store()).setLastResult(paused);
  EXPECT_EQ(bar().subtitle(), QStringLiteral("清理的照片移到废纸篓，可在文件管理器中恢复 · "
                                             "跳过 2 张未分析（损坏或过小）"));
  // Photos left out for their size are not called damaged or small.
  ScanResult large = resultWithSkipped(3, false);
  large.tooLargeCount = 1;
  AppStore::StateAccess(store()).setLastResult(large);
  EXPECT_EQ(bar().subtitle(), QStringLiteral("清理的照片移到废纸篓，可在文件管理器中恢复 · "
                                             "跳过 2 张未分析（损坏或过小） · "
                                             "跳过 1 张过大的照片（解码所需内存超出本机上限）"));
  large.tooLargeCount = 3;
  AppStore::StateAccess(store()).setLastResult(large);
  EXPECT_EQ(bar().subtitle(), QStringLiteral("清理的照片移到废纸篓，可在文件管理器中恢复 · "
                                             "跳过 3 张过大的照片（解码所需内存超出本机上限）"));
  // A photo left out for its pixel count is not said to need too much memory.
  large.tooManyPixelsCount = 1;
  AppStore::StateAccess(store()).setLastResult(large);
  EXPECT_EQ(bar().subtitle(), QStringLiteral("清理的照片移到废纸篓，可在文件管理器中恢复 · "
                                             "跳过 2 张过大的照片（解码所需内存超出本机上限） · "
                                             "跳过 1 张过大的照片（像素数超出可处理的上限）"));
  AppStore::StateAccess(store()).setLastResult(resultWithSkipped(0, true));

  showGroups({group("/l/", 2, 0)}, AppStore::SourceKind::library);
  EXPECT_EQ(bar().title(), QStringLiteral("1 组 · 1 张照片 可移入「最近删除」"));
  EXPECT_EQ(bar().subtitle(),
            QStringLiteral("清理的照片进入图库的「最近删除」，照片文件会一直留在图库文件夹里"));
}

TEST_F(SummaryBarTest, selectionModeButtonsFollowTheirRules) {
  showGroups({group("/a/", 3), group("/b/", 2)});
  EXPECT_TRUE(bar().selectButton()->isEnabled());
  AppStore::StateAccess(store()).setPhase(AppStore::Phase::scanning());
  EXPECT_FALSE(bar().selectButton()->isEnabled());
  AppStore::StateAccess(store()).setPhase(AppStore::Phase::ready());
  bar().selectButton()->click();
  ASSERT_TRUE(bar().showsBatchRow());
  EXPECT_FALSE(bar().cleanupButton()->isEnabled());
  EXPECT_FALSE(bar().clearButton()->isEnabled());
  EXPECT_TRUE(bar().selectAllButton()->isEnabled());

  store().toggleSelection(store().groups()[1]);
  EXPECT_EQ(bar().title(), QStringLiteral("1 组 · 待清理 1 张照片 · 可释放 1 KB"));
  EXPECT_EQ(bar().cleanupButton()->accessibleName(), QStringLiteral("清理已选的 1 张相似照片"));
  EXPECT_TRUE(bar().cleanupButton()->isEnabled());
  bar().selectAllButton()->click();
  EXPECT_FALSE(bar().selectAllButton()->isEnabled());
  AppStore::StateAccess(store()).setIsCleaningSelection(true);
  EXPECT_FALSE(bar().cleanupButton()->isEnabled());
  AppStore::StateAccess(store()).setIsCleaningSelection(false);

  bar().clearButton()->click();
  EXPECT_TRUE(store().selectedGroupIDs().empty());
  EXPECT_TRUE(store().isSelecting());
  EXPECT_TRUE(store().selectionAnchorID());
  bar().cleanupButton()->setEnabled(true);
  store().toggleSelection(store().groups()[0]);
  bar().cleanupButton()->click();
  EXPECT_TRUE(store().isBatchConfirmPresented());
  store().setIsBatchConfirmPresented(false);
  bar().doneButton()->click();
  EXPECT_FALSE(store().isSelecting());
  EXPECT_FALSE(store().selectionAnchorID());
  EXPECT_FALSE(bar().showsBatchRow());
}

TEST_F(SummaryBarTest, spaceOnSelectOrDoneHandsTheKeysToTheOtherButton) {
  showGroups({group("/a/", 3), group("/b/", 2)});
  bar().show();
  window.show();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  bar().selectButton()->setFocus(Qt::TabFocusReason);
  QTest::keyClick(bar().selectButton(), Qt::Key_Space);
  ASSERT_TRUE(store().isSelecting());
  EXPECT_TRUE(bar().doneButton()->hasFocus());
  QTest::keyClick(bar().doneButton(), Qt::Key_Space);
  ASSERT_FALSE(store().isSelecting());
  EXPECT_TRUE(bar().selectButton()->hasFocus());
  // Left by another way (Escape in the grid), the mode takes no focus anywhere.
  store().enterSelectionMode();
  QWidget elsewhere(&window);
  elsewhere.setFocusPolicy(Qt::StrongFocus);
  elsewhere.show();
  elsewhere.setFocus();
  store().exitSelectionMode();
  EXPECT_TRUE(elsewhere.hasFocus());
}

TEST_F(SummaryBarTest, thePaddingNarrowsBelowOneWidthAndStaysPut) {
  EXPECT_EQ(bar().horizontalPadding(), 20); // before the first layout
  window.show();
  for (const auto &[width, padding] : std::vector<std::pair<int, int>>{
           {1050, 14}, {1063, 14}, {1064, 20}, {1080, 20}, {1057, 14}}) {
    bar().resize(width, 50);
    EXPECT_EQ(bar().horizontalPadding(), padding) << width;
    EXPECT_EQ(bar().layout()->contentsMargins().left(), padding) << width;
  }
}

TEST_F(SummaryBarTest, theBatchDialogFollowsTheFlagAndRemovesWhatItShows) {
  writeBurst("a", 3, 3, 1'700'000'000, 160, 120);
  writeBurst("b", 11, 2, 1'700'100'000, 160, 120);
  scanIntoGroupsByPrefix();
  ASSERT_EQ(store().groups().size(), 2u);
  BatchCleanupDialog dialog(store(), &window);
  store().enterSelectionMode();
  store().toggleSelection(store().groups()[0]);
  store().setIsBatchConfirmPresented(true);
  ASSERT_NE(dialog.box(), nullptr);
  const QString firstTitle = dialog.box()->text();
  store().selectAllGroups();
  EXPECT_EQ(dialog.box()->text(), QStringLiteral("清理已选的 3 张照片？"));
  EXPECT_NE(dialog.box()->text(), firstTitle);
  EXPECT_TRUE(dialog.box()->informativeText().startsWith(QStringLiteral("将清理 3 张相似照片")));
  EXPECT_TRUE(dialog.box()->informativeText().endsWith(
      QStringLiteral("\n其余照片移到废纸篓，可在文件管理器的废纸篓里恢复。")));

  // The flag closes it, and closing it lowers the flag.
  store().setIsBatchConfirmPresented(false);
  EXPECT_TRUE(waitFor([&] { return dialog.box() == nullptr; }));
  store().setIsBatchConfirmPresented(true);
  ASSERT_NE(dialog.box(), nullptr);
  dialog.box()->reject();
  EXPECT_TRUE(waitFor([&] { return !store().isBatchConfirmPresented(); }));

  store().setIsBatchConfirmPresented(true);
  ASSERT_NE(dialog.box(), nullptr);
  const auto buttons = dialog.box()->buttons();
  const auto confirm = std::find_if(buttons.begin(), buttons.end(), [&](QAbstractButton *b) {
    return dialog.box()->buttonRole(b) == QMessageBox::DestructiveRole;
  });
  ASSERT_NE(confirm, buttons.end());
  (*confirm)->click();
  ASSERT_TRUE(waitFor([&] { return store().undoToast().has_value(); }));
  EXPECT_EQ(store().items().size(), 2u);
  EXPECT_FALSE(store().isBatchConfirmPresented());
  EXPECT_FALSE(store().isSelecting());
}

TEST_F(SummaryBarTest, aScanBegunWhileTheBatchDialogIsOpenClosesIt) {
  showGroups({group("/a/", 3), group("/b/", 2)});
  BatchCleanupDialog dialog(store(), &window);
  store().enterSelectionMode();
  store().selectAllGroups();
  store().setIsBatchConfirmPresented(true);
  ASSERT_NE(dialog.box(), nullptr);
  store().chooseFolder();
  EXPECT_TRUE(waitFor([&] { return dialog.box() == nullptr; }));
  EXPECT_FALSE(store().isSelecting());
  EXPECT_FALSE(bar().showsBatchRow());
}

TEST_F(SummaryBarTest, theSortPickerWritesTheStoresSortAndFollowsIt) {
  showGroups({group("/a/", 3), group("/b/", 2)});
  SortPicker *picker = bar().sortPicker();
  window.show();
  EXPECT_EQ(picker->width(), 196);
  EXPECT_EQ(picker->focusPolicy(), Qt::TabFocus);
  QTest::mouseClick(picker, Qt::LeftButton, Qt::NoModifier,
                    picker->segmentRect(GroupSort::memberCount).center());
  EXPECT_EQ(store().sort(), GroupSort::memberCount);
  QTest::keyClick(picker, Qt::Key_Left);
  EXPECT_EQ(store().sort(), GroupSort::date);
  store().setSort(GroupSort::memberCount);
  EXPECT_EQ(picker->sort(), GroupSort::memberCount);
}

TEST(SummaryBarTextsTest, libraryTextsAndTheConfirmationCountBarePhotos) {
  ASSERT_TRUE(localized::installTranslations());
  using summarybartexts::SourceKind;
  EXPECT_EQ(summarybartexts::batchTitle(SourceKind::library, 2, 1, 0),
            QStringLiteral("2 组 · 待清理 1 张照片"));
  EXPECT_EQ(summarybartexts::confirmTitle(SourceKind::folder, 12345),
            QStringLiteral("清理已选的 12345 张照片？"));
  EXPECT_EQ(summarybartexts::confirmButton(SourceKind::folder, -5),
            QStringLiteral("移入废纸篓（0 字节）"));
  EXPECT_EQ(summarybartexts::confirmButton(SourceKind::library, 5000),
            QStringLiteral("移入「最近删除」"));
  EXPECT_EQ(summarybartexts::confirmMessage(SourceKind::library, 1),
            QStringLiteral("将清理 1 张相似照片（每组保留最佳的一张）。\n"
                           "其余照片进入图库的「最近删除」，照片文件会一直留在图库文件夹里。"));
  EXPECT_EQ(summarybartexts::batchSubtitle(SourceKind::library),
            QStringLiteral(
                "保留每组 1 张最佳，其余进图库的「最近删除」，照片文件会一直留在图库文件夹里"));
}
