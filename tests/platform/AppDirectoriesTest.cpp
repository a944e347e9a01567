#include "platform/core/AppDirectories.h"
#include "tests/support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(AppDirectories, supportFolderLivesUnderTheIsolatedDataHome) {
  EXPECT_EQ(platform::appSupportDirectory(),
            testsupport::isolatedHome() + QStringLiteral("/.local/share/Lumora"));
}

TEST(AppDirectories, supportFolderIsCreatedPrivate) {
  const QByteArray saved = qgetenv("XDG_DATA_HOME");
  const QString home = testsupport::isolatedHome() + QStringLiteral("/fresh-data");
  qputenv("XDG_DATA_HOME", QFile::encodeName(home));
  const mode_t previous = ::umask(022);
  EXPECT_TRUE(platform::makeAppSupportDirectory());
  ::umask(previous);
  struct stat info {};
  ASSERT_EQ(::stat(QFile::encodeName(platform::appSupportDirectory()).constData(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  qputenv("XDG_DATA_HOME", saved);
}
