#include "app/info/shared/ShortcutTable.h"
#include "app/store/texts/Localized.h"

#include <QCoreApplication>
#include <QSet>
#include <QTranslator>
#include <gtest/gtest.h>

using namespace lumora;

namespace {

/// Takes the installed string tables out for its lifetime, as if no entry existed.
class WithoutStringTable {
public:
  WithoutStringTable() {
    for (QTranslator *translator : qApp->findChildren<QTranslator *>()) {
      if (QCoreApplication::removeTranslator(translator)) {
        m_removed.push_back(translator);
      }
    }
  }
  ~WithoutStringTable() {
    for (QTranslator *translator : m_removed) {
      QCoreApplication::installTranslator(translator);
    }
  }

private:
  std::vector<QTranslator *> m_removed;
};

} // namespace

TEST(ShortcutTableTest, fourteenRowsWithDistinctIdentitiesAndTranslatedActions) {
  localized::installTranslations();
  const std::vector<ShortcutRow> &rows = shortcuttable::rows();
  ASSERT_EQ(rows.size(), 14U);
  QSet<QString> identities;
  for (const ShortcutRow &row : rows) {
    identities.insert(row.identity());
    EXPECT_FALSE(row.action.startsWith(QStringLiteral("help.sc."))) << row.shortcut.toStdString();
    EXPECT_FALSE(row.shortcut.contains(QStringLiteral("⌘"))) << row.shortcut.toStdString();
  }
  EXPECT_EQ(identities.size(), 14);
  EXPECT_EQ(rows[0].shortcut, QStringLiteral("Ctrl+O / Ctrl+Shift+O"));
  EXPECT_EQ(rows[5].shortcut, QStringLiteral("Ctrl+[ / Ctrl+]"));
  EXPECT_EQ(rows[13].shortcut, QStringLiteral("Ctrl+?"));
  EXPECT_EQ(rows[13].action, QStringLiteral("打开帮助与隐私"));
  EXPECT_EQ(&shortcuttable::rows(), &rows);
}

TEST(ShortcutTableTest, anActionWithoutATableEntryShowsItsKey) {
  localized::installTranslations();
  const WithoutStringTable bare;
  const std::vector<ShortcutRow> rows = shortcuttable::build();
  EXPECT_EQ(rows[2].action, QStringLiteral("help.sc.rescan"));
  EXPECT_EQ(rows[11].action, QStringLiteral("help.sc.previewStep"));
}
