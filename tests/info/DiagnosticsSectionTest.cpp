#include "app/info/help/DiagnosticsSection.h"
#include "app/info/HelpContent.h"
#include "app/shell/components/ShrinkingLabel.h"
#include "app/shell/theme/ThemedButton.h"
#include "engine/diagnostics/Diagnostics.h"
#include "tests/info/support/InfoFixture.h"

#include <QFile>

using namespace lumora;
using InfoTab = AppStoreTypes::InfoTab;

namespace {

class DiagnosticsSectionTest : public infotest::InfoFixture {
protected:
  DiagnosticsSectionTest() : view(makeView(InfoTab::help)) {
    Diagnostics::log(QStringLiteral("ui"), QStringLiteral("a line before the test"));
  }

  DiagnosticsSection &diagnostics() const {
    return *qobject_cast<HelpContent *>(view->content())->diagnosticsSection();
  }
  bool badgeShown() const {
    return diagnostics()
        .findChild<QWidget *>(QStringLiteral("clearedBadge"))
        ->isVisibleTo(view.get());
  }
  void exportTo(std::optional<QString> path) {
    nextExport = std::move(path);
    diagnostics().exportButton()->click();
  }
  QString target(const std::string &name) const {
    return QString::fromStdString(temp.file(name).string());
  }

  std::unique_ptr<InfoCenterView> view;
};

} // namespace

TEST_F(DiagnosticsSectionTest, exportingThenClearingRemovesTheStatusAndShowsCleared) {
  exportTo(target("Pindle-诊断.txt"));
  EXPECT_EQ(diagnostics().diagnosticsStatus(), QStringLiteral("已导出到 Pindle-诊断.txt"));
  EXPECT_FALSE(badgeShown());

  diagnostics().clearButton()->click();
  EXPECT_FALSE(QFile::exists(Diagnostics::logURL().toLocalFile()));
  EXPECT_TRUE(diagnostics().diagnosticsCleared());
  EXPECT_TRUE(badgeShown());
  EXPECT_TRUE(diagnostics().diagnosticsStatus().isEmpty());
}

TEST_F(DiagnosticsSectionTest, clearingThenExportingShowsBothLines) {
  diagnostics().clearButton()->click();
  // Clearing again with no log file still ends cleared.
  diagnostics().clearButton()->click();
  exportTo(target("b.txt"));
  EXPECT_TRUE(badgeShown());
  EXPECT_EQ(diagnostics().diagnosticsStatus(), QStringLiteral("已导出到 b.txt"));
  EXPECT_TRUE(diagnostics().statusLine()->isVisibleTo(view.get()));
}

TEST_F(DiagnosticsSectionTest, aFailedOrCancelledExportShowsNoStatus) {
  exportTo(target("first.txt"));
  exportTo(target("missing/second.txt"));
  EXPECT_TRUE(diagnostics().diagnosticsStatus().isEmpty());
  EXPECT_FALSE(QFile::exists(target("missing/second.txt")));
  exportTo(target("third.txt"));
  exportTo(std::nullopt);
  EXPECT_TRUE(diagnostics().diagnosticsStatus().isEmpty());
  EXPECT_FALSE(diagnostics().diagnosticsCleared());
}
