#include "platform/core/trash/Trash.h"
#include "tests/support/TempDir.h"

#include <QStandardPaths>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace platform;
using testsupport::readBytes;

namespace {

fs::path homeTrash() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString() +
         "/Trash";
}

} // namespace

TEST(Trash, moveAndRestoreRoundTripRemovesTheInfoEntry) {
  testsupport::TempDir dir;
  const auto original = dir.write("照片 1.jpg", std::string("pixels\0more", 11));
  const auto moved = trash::moveToTrash(original.string());
  ASSERT_TRUE(moved.ok()) << static_cast<int>(moved.problem.kind);
  EXPECT_FALSE(fs::exists(original));
  EXPECT_TRUE(fs::exists(moved.trashedPath));
  const fs::path info =
      homeTrash() / "info" / (fs::path(moved.trashedPath).filename().string() + ".trashinfo");
  EXPECT_TRUE(fs::exists(info));

  const auto restored = trash::restore(moved.trashedPath, original.string());
  EXPECT_EQ(restored.status, trash::RestoreStatus::restored);
  EXPECT_EQ(readBytes(original), std::string("pixels\0more", 11));
  EXPECT_FALSE(fs::exists(moved.trashedPath));
  EXPECT_FALSE(fs::exists(info));
}

TEST(Trash, restoreNeverOverwritesATakenPath) {
  testsupport::TempDir dir;
  const auto original = dir.write("a.jpg", "old");
  const auto moved = trash::moveToTrash(original.string());
  ASSERT_TRUE(moved.ok());
  dir.write("a.jpg", "new file that took the name");
  EXPECT_EQ(trash::restore(moved.trashedPath, original.string()).status,
            trash::RestoreStatus::skipped);
  EXPECT_EQ(readBytes(original), "new file that took the name");
  EXPECT_EQ(readBytes(moved.trashedPath), "old");
}

TEST(Trash, restoreSkipsWhenTheTrashWasEmptied) {
  testsupport::TempDir dir;
  const auto original = dir.write("b.jpg", "b");
  const auto moved = trash::moveToTrash(original.string());
  ASSERT_TRUE(moved.ok());
  fs::remove(moved.trashedPath);
  EXPECT_EQ(trash::restore(moved.trashedPath, original.string()).status,
            trash::RestoreStatus::skipped);
  EXPECT_FALSE(fs::exists(original));
}

TEST(Trash, unwritableTrashReportsAnErrorAndKeepsTheFile) {
  testsupport::TempDir dir;
  const auto original = dir.write("c.jpg", "c");
  fs::remove_all(homeTrash());
  std::ofstream(homeTrash()) << "a file where the Trash folder should be";
  const auto moved = trash::moveToTrash(original.string());
  EXPECT_FALSE(moved.ok());
  fs::remove(homeTrash());
  EXPECT_TRUE(moved.trashedPath.empty());
  EXPECT_EQ(readBytes(original), "c");
}

TEST(Trash, equallyNamedFilesGetTheirOwnSlotsAndInfo) {
  testsupport::TempDir one;
  testsupport::TempDir two;
  const auto first = trash::moveToTrash(one.write("same name.jpg", "1").string());
  const auto second = trash::moveToTrash(two.write("same name.jpg", "2").string());
  ASSERT_TRUE(first.ok() && second.ok());
  EXPECT_NE(first.trashedPath, second.trashedPath);
  EXPECT_EQ(readBytes(first.trashedPath), "1");
  EXPECT_EQ(readBytes(second.trashedPath), "2");
  const std::string info = readBytes(
      homeTrash() / "info" / (fs::path(second.trashedPath).filename().string() + ".trashinfo"));
  EXPECT_NE(info.find("Path=" + two.path().string() + "/same%20name.jpg\n"), std::string::npos);
  EXPECT_EQ(info.rfind("[Trash Info]\n", 0), 0u);
}
