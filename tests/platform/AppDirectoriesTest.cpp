#include "platform/core/AppDirectories.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

TEST(AppDirectories, supportFolderLivesUnderTheIsolatedDataHome) {
  EXPECT_EQ(platform::appSupportDirectory(),
            testsupport::isolatedHome() + QStringLiteral("/.local/share/Lumora"));
}
