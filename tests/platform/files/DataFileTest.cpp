#include "platform/core/files/DataFile.h"
#include "platform/core/files/AtomicWrite.h"
#include "tests/support/PlantedFile.h"
#include "tests/support/TempDir.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

constexpr std::chrono::seconds kTimeOut(5);

std::string readFile(const std::filesystem::path &path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(DataFile, aMissingFileIsMadePrivateWithItsFirstContentsAndNeverOverAnother) {
  testsupport::TempDir dir;
  const auto path = dir.file("log");
  datafile::Opened opened = datafile::openOrCreate(path, O_RDWR | O_APPEND, "HEAD");
  ASSERT_TRUE(opened.fd.isValid());
  EXPECT_TRUE(opened.refusal.isEmpty());
  ASSERT_EQ(::write(opened.fd.get(), "+rec", 4), 4);
  EXPECT_EQ(readFile(path), "HEAD+rec");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  EXPECT_EQ(::fcntl(opened.fd.get(), F_GETFL) & O_NONBLOCK, 0) << "used in blocking mode";

  const auto created = atomicwrite::create(path, "other");
  EXPECT_FALSE(created);
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(readFile(path), "HEAD+rec");
}

TEST(DataFile, readingRefusesPlantedEntriesWithoutReplacingThem) {
  testsupport::TempDir dir;
  const testsupport::LinkTarget target(dir.file("target"));
  for (const auto kind : {testsupport::Planted::fifo, testsupport::Planted::symlink}) {
    const auto path = dir.file("base-" + testsupport::nameOf(kind));
    ASSERT_TRUE(testsupport::plant(kind, path, target.path()));
    ASSERT_TRUE(testsupport::finishesWithin(
        kTimeOut,
        [&] {
          const datafile::Opened opened = datafile::open(path, O_RDONLY);
          EXPECT_FALSE(opened.fd.isValid());
          EXPECT_EQ(opened.refusal, kind == testsupport::Planted::fifo
                                        ? QStringLiteral("a FIFO")
                                        : QStringLiteral("a symbolic link"));
        },
        dir.path()));
    EXPECT_FALSE(testsupport::isRegularFile(path));
  }
  EXPECT_TRUE(target.isUntouched());
}

TEST(DataFile, aHardLinkIsReadButReplacedBeforeAnyWrite) {
  testsupport::TempDir dir;
  const testsupport::LinkTarget target(dir.file("target"));
  const auto path = dir.file("tombstones");
  ASSERT_EQ(::link(target.path().c_str(), path.c_str()), 0);
  EXPECT_TRUE(datafile::open(path, O_RDONLY).fd.isValid());
  const datafile::Opened opened = datafile::openOrCreate(path, O_WRONLY | O_APPEND, {});
  ASSERT_TRUE(opened.fd.isValid());
  EXPECT_EQ(opened.refusal, QStringLiteral("a file with 2 names"));
  ASSERT_EQ(::write(opened.fd.get(), "id\n", 3), 3);
  EXPECT_EQ(readFile(path), "id\n");
  EXPECT_TRUE(target.isUntouched());
}

TEST(DataFile, aFolderInThePlaceOfAFileIsRefusedAndLeftAlone) {
  testsupport::TempDir dir;
  const auto path = dir.file("favorites.json.lock");
  std::filesystem::create_directory(path);
  std::ofstream(path / "inside") << "kept";
  const datafile::Opened opened = datafile::openOrCreate(path, O_RDWR, {});
  EXPECT_FALSE(opened.fd.isValid());
  EXPECT_EQ(opened.refusal, QStringLiteral("a folder"));
  EXPECT_NE(opened.error, 0);
  EXPECT_EQ(readFile(path / "inside"), "kept");
}
