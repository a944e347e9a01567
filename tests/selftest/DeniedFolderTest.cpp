#include "app/selftest/DeniedFolder.h"
#include "tests/support/TempDir.h"

#include <QFile>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

QString qpath(const fs::path &path) { return QString::fromStdString(path.string()); }

mode_t modeOf(const fs::path &path) {
  struct stat info {};
  ::lstat(path.c_str(), &info);
  return info.st_mode & 07777;
}

TEST(DeniedFolderTest, MakesAClosedFolderAndRemovesItAgain) {
  testsupport::TempDir dir;
  const fs::path path = dir.file("denied");
  fs::create_directory(path); // an earlier run's leftover
  {
    const lumora::DeniedFolder folder(qpath(path));
    ASSERT_TRUE(folder.isReady());
    EXPECT_EQ(modeOf(path), 0u);
  }
  EXPECT_FALSE(fs::exists(fs::symlink_status(path)));
}

TEST(DeniedFolderTest, APlantedSymlinkNeitherEmptiesNorOpensItsTarget) {
  testsupport::TempDir dir;
  const fs::path target = dir.file("private");
  fs::create_directory(target);
  ::chmod(target.c_str(), 0700);
  dir.write("private/keep.txt", "mine");
  const fs::path path = dir.file("denied");
  fs::create_directory_symlink(target, path);
  {
    const lumora::DeniedFolder folder(qpath(path));
    EXPECT_TRUE(folder.isReady());
    EXPECT_FALSE(fs::is_symlink(path));
  }
  EXPECT_TRUE(fs::exists(target / "keep.txt"));
  EXPECT_EQ(modeOf(target), 0700u);
}

TEST(DeniedFolderTest, AFolderThatHoldsSomethingIsLeftAlone) {
  testsupport::TempDir dir;
  const fs::path path = dir.file("denied");
  fs::create_directory(path);
  dir.write("denied/someone-else.txt", "x");
  const lumora::DeniedFolder folder(qpath(path));
  EXPECT_FALSE(folder.isReady());
  EXPECT_TRUE(fs::exists(path / "someone-else.txt"));
  EXPECT_NE(modeOf(path), 0u);
}

} // namespace
