#include "app/info/AboutContent.h"
#include "app/info/HelpContent.h"
#include "app/info/InfoTabPicker.h"
#include "app/shell/components/ShrinkingLabel.h"
#include "app/shell/theme/ThemedButton.h"
#include "tests/info/support/InfoFixture.h"

#include <QLabel>

using namespace lumora;
using InfoTab = AppStoreTypes::InfoTab;

namespace {

class InfoCenterViewTest : public infotest::InfoFixture {
protected:
  static AboutContent &about(InfoCenterView &view) {
    return *qobject_cast<AboutContent *>(view.content());
  }
  QString exportPath(const QString &name) const {
    return QString::fromStdString(temp.path().string()) + QLatin1Char('/') + name;
  }
};

} // namespace

TEST_F(InfoCenterViewTest, theHelpButtonSwitchesPickerAndContent) {
  auto view = makeView(InfoTab::about);
  about(*view).helpButton()->click();
  EXPECT_EQ(view->tab(), InfoTab::help);
  EXPECT_EQ(view->picker()->tab(), InfoTab::help);
  EXPECT_NE(qobject_cast<HelpContent *>(view->content()), nullptr);

  view->picker()->setTab(InfoTab::about);
  EXPECT_EQ(view->tab(), InfoTab::about);
  EXPECT_NE(qobject_cast<AboutContent *>(view->content()), nullptr);
}

TEST_F(InfoCenterViewTest, versionTextUsesFullWidthParentheses) {
  EXPECT_EQ(AboutContent::versionText(QStringLiteral("1.0"), QStringLiteral("1")),
            QStringLiteral("版本 1.0（build 1）"));
  auto view = makeView(InfoTab::about);
  EXPECT_EQ(about(*view).versionLabel()->text(), AboutContent::versionText());
  EXPECT_TRUE(about(*view).versionLabel()->textInteractionFlags() & Qt::TextSelectableByMouse);
}

TEST_F(InfoCenterViewTest, anExportShowsTheFileNameUntilACancelOrLeavingTheTab) {
  auto view = makeView(InfoTab::about);
  EXPECT_TRUE(about(*view).exportStatus().isEmpty());
  const QString longName =
      QStringLiteral("Pindle-诊断-") + QString(120, QLatin1Char('x')) + QStringLiteral("-结尾.txt");
  nextExport = exportPath(longName);
  about(*view).exportButton()->click();
  EXPECT_EQ(about(*view).exportStatus(), QStringLiteral("已导出到 ") + longName);
  // One line, the middle elided, the end kept.
  const QString shown = about(*view).statusLine()->shownText();
  EXPECT_TRUE(shown.contains(QChar(0x2026)));
  EXPECT_TRUE(shown.endsWith(QStringLiteral("-结尾.txt")));

  nextExport.reset();
  about(*view).exportButton()->click();
  EXPECT_TRUE(about(*view).exportStatus().isEmpty());

  nextExport = exportPath(QStringLiteral("a.txt"));
  about(*view).exportButton()->click();
  view->setTab(InfoTab::help);
  view->setTab(InfoTab::about);
  EXPECT_TRUE(about(*view).exportStatus().isEmpty());
  EXPECT_EQ(exportDialogs, 3);
}
