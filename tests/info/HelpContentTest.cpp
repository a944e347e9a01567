#include "app/info/HelpContent.h"
#include "app/info/help/CacheSection.h"
#include "app/info/help/DiagnosticsSection.h"
#include "app/info/help/ExplanatorySection.h"
#include "app/info/help/ShortcutsSection.h"
#include "tests/info/support/InfoFixture.h"

#include <QLabel>
#include <QScrollArea>

using namespace lumora;
using InfoTab = AppStoreTypes::InfoTab;

namespace {

class HelpContentTest : public infotest::InfoFixture {
protected:
  HelpContentTest() : view(makeView(InfoTab::help)) { QCoreApplication::processEvents(); }

  HelpContent &help() const { return *qobject_cast<HelpContent *>(view->content()); }

  std::unique_ptr<InfoCenterView> view;
};

} // namespace

TEST_F(HelpContentTest, sectionsStandInOrderTopToBottom) {
  const QList<QWidget *> sections = help().sections();
  ASSERT_EQ(sections.size(), 6);
  EXPECT_EQ(sections[0], help().shortcutsSection());
  EXPECT_EQ(sections[4], help().cacheSection());
  EXPECT_EQ(sections[5], help().diagnosticsSection());
  for (int i = 1; i < sections.size(); ++i) {
    EXPECT_GE(sections[i]->y(), sections[i - 1]->geometry().bottom() + 18) << i;
  }
  const auto &notes = help().explanatorySections();
  ASSERT_EQ(notes.size(), 3U);
  EXPECT_EQ(notes[0]->titleLabel()->text(), QStringLiteral("照片不会离开这台电脑"));
  EXPECT_EQ(notes[1]->titleLabel()->text(), QStringLiteral("删除去哪了"));
  EXPECT_EQ(notes[2]->titleLabel()->text(), QStringLiteral("分数是怎么来的"));
}

TEST_F(HelpContentTest, paragraphsWrapWithinTheSheetAndSelectWhileRowsDoNot) {
  for (ExplanatorySection *section : help().explanatorySections()) {
    for (QLabel *paragraph : section->paragraphs()) {
      EXPECT_TRUE(paragraph->wordWrap());
      EXPECT_GE(paragraph->height(), paragraph->heightForWidth(paragraph->width()));
      EXPECT_TRUE(paragraph->textInteractionFlags() & Qt::TextSelectableByMouse);
    }
  }
  // The longest paragraph needs more than one line at this width.
  QLabel *deletion = help().explanatorySections()[1]->paragraphs()[1];
  EXPECT_GT(deletion->height(), 2 * deletion->fontMetrics().height());
  for (const auto &[key, action] : help().shortcutsSection()->rowLabels()) {
    EXPECT_EQ(key->textInteractionFlags(), Qt::NoTextInteraction);
    EXPECT_EQ(action->textInteractionFlags(), Qt::NoTextInteraction);
  }
}

TEST_F(HelpContentTest, everyActionStartsAtTheSameColumn) {
  const auto &rows = help().shortcutsSection()->rowLabels();
  ASSERT_EQ(rows.size(), 14U);
  const int column = rows.front().second->x();
  for (const auto &[key, action] : rows) {
    EXPECT_EQ(key->width(), ShortcutsSection::kKeyColumn);
    EXPECT_EQ(action->x(), column) << action->text().toStdString();
    EXPECT_EQ(action->x(), key->x() + ShortcutsSection::kKeyColumn + 10);
  }
}

TEST_F(HelpContentTest, explanatorySectionsReadAsOneElement) {
  ExplanatorySection *deletion = help().explanatorySections()[1];
  const std::vector<QLabel *> &paragraphs = deletion->paragraphs();
  ASSERT_EQ(paragraphs.size(), 2U);
  EXPECT_EQ(deletion->accessibleName(), QStringLiteral("删除去哪了。") + paragraphs[0]->text() +
                                            QLatin1Char(' ') + paragraphs[1]->text());
  // The privacy note keeps one paragraph on this system.
  EXPECT_EQ(help().explanatorySections()[0]->paragraphs().size(), 1U);
}

TEST_F(HelpContentTest, theCacheParagraphNamesTheDataFolderInUse) {
  const QString text = CacheSection::paragraphText();
  EXPECT_TRUE(text.contains(QStringLiteral("~/.local/share/Lumora/"))) << text.toStdString();
  EXPECT_FALSE(text.contains(QStringLiteral("Library")));
  EXPECT_FALSE(text.contains(QStringLiteral("%@")));
}
