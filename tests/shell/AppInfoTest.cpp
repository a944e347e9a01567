#include "app/shell/AppInfo.h"
#include "app/shell/window/QAOverrides.h"
#include "engine/diagnostics/Diagnostics.h"

#include <gtest/gtest.h>

namespace {

using namespace lumora;

TEST(AppInfoTest, TheDiagnosticsExportNamesTheIdentifierTheQALineNames) {
  AppInfo::describeToDiagnostics();
  const QString identifier = QString::fromLatin1(AppInfo::kIdentifier);
  EXPECT_EQ(Diagnostics::exportText().section(QLatin1Char('\n'), 2, 2),
            QStringLiteral("Bundle: ") + identifier);
  EXPECT_TRUE(QAOverrides::bundleLine().startsWith(QStringLiteral("bundle=") + identifier +
                                                   QLatin1Char(' ')));
  EXPECT_TRUE(Diagnostics::exportText()
                  .section(QLatin1Char('\n'), 1, 1)
                  .endsWith(QStringLiteral(" (") + AppInfo::buildVersion() + QLatin1Char(')')));
}

} // namespace
