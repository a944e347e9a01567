#include "platform/core/trash/Trash.h"
#include "platform/core/trash/TrashDirectory.h"
#include "platform/core/trash/TrashOrphans.h"
#include "tests/support/TempDir.h"

#include <QStandardPaths>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <signal.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace platform;

namespace {

fs::path homeTrash() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString() +
         "/Trash";
}

bool isEmptyFolder(const fs::path &path) { return !fs::exists(path) || fs::is_empty(path); }

/// A small tmpfs at `path` (another volume), unmounted when it goes.
struct TmpfsMount {
  fs::path path;
  bool mounted = false;
  TmpfsMount(fs::path at, const char *size) : path(std::move(at)) {
    fs::create_directories(path);
    const std::string options = std::string("size=") + size;
    mounted = ::geteuid() == 0 && ::mount("tmpfs", path.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~TmpfsMount() {
    if (mounted)
      ::umount2(path.c_str(), MNT_DETACH);
  }
};

#define SKIP_UNLESS_MOUNTED(volume)                                                                \
  if (!(volume).mounted)                                                                           \
  GTEST_SKIP() << "needs root and tmpfs mounts to make a second volume"

/// Writes `name` with a modification time in 2019 and mode 0640.
fs::path oldPhoto(const fs::path &dir, const std::string &name, std::size_t size) {
  const fs::path path = dir / name;
  std::ofstream(path, std::ios::binary) << std::string(size, 'p');
  const struct timespec times[2] = {{1546300800, 0}, {1546300800, 0}};
  ::utimensat(AT_FDCWD, path.c_str(), times, 0);
  ::chmod(path.c_str(), 0640);
  return path;
}

void backdate(const fs::path &path) {
  const struct timespec times[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 3600, 0}};
  ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

} // namespace

TEST(TrashSafety, foreignOrLooseVolumeTrashesAreSkippedForAHomeCopyThatKeepsTimes) {
  testsupport::TempDir dir;
  const TmpfsMount volume(dir.path() / "volume", "4m");
  SKIP_UNLESS_MOUNTED(volume);
  const std::string uid = std::to_string(::getuid());
  const fs::path foreign = volume.path / (".Trash-" + uid);
  fs::create_directories(foreign / "files");
  ::chmod(foreign.c_str(), 0777);
  ASSERT_EQ(::chown(foreign.c_str(), 12345, 12345), 0);
  fs::create_directories(volume.path / "loose" / uid);
  fs::create_directory_symlink("loose", volume.path / ".Trash"); // a link, and not sticky
  const fs::path photo = oldPhoto(volume.path, "a.jpg", 300000);

  const auto moved = trash::moveToTrash(photo.string());
  ASSERT_TRUE(moved.ok()) << static_cast<int>(moved.problem.kind);
  EXPECT_EQ(fs::path(moved.trashedPath).parent_path(), homeTrash() / "files");
  EXPECT_TRUE(isEmptyFolder(foreign / "files") && isEmptyFolder(volume.path / "loose" / uid));
  struct stat info {};
  ASSERT_EQ(::stat(moved.trashedPath.c_str(), &info), 0);
  EXPECT_EQ(info.st_size, 300000);
  EXPECT_EQ(info.st_mtim.tv_sec, 1546300800);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_FALSE(fs::exists(photo));
}

TEST(TrashSafety, aStickyTrashWithAForeignUserFolderGivesWayToTheUsersOwn) {
  testsupport::TempDir dir;
  const TmpfsMount volume(dir.path() / "volume", "1m");
  SKIP_UNLESS_MOUNTED(volume);
  const std::string uid = std::to_string(::getuid());
  fs::create_directories(volume.path / ".Trash" / uid);
  ::chmod((volume.path / ".Trash").c_str(), 01777);
  ASSERT_EQ(::chown((volume.path / ".Trash" / uid).c_str(), 12345, 12345), 0);

  const auto moved = trash::moveToTrash(oldPhoto(volume.path, "b.jpg", 10).string());
  ASSERT_TRUE(moved.ok()) << static_cast<int>(moved.problem.kind);
  const fs::path own = volume.path / (".Trash-" + uid);
  EXPECT_EQ(moved.trashedPath, (own / "files" / "b.jpg").string());
  EXPECT_EQ(fs::status(own).permissions(), fs::perms::owner_all);
}

TEST(TrashSafety, aCopyThatFailsLeavesNoFileEntryOrPartAndKeepsThePhoto) {
  testsupport::TempDir dir;
  fs::create_directories(homeTrash());
  const TmpfsMount full(homeTrash() / "files", "64k");
  SKIP_UNLESS_MOUNTED(full);
  const fs::path photo = oldPhoto(dir.path(), "big.jpg", 400000);

  const auto moved = trash::moveToTrash(photo.string());
  EXPECT_FALSE(moved.ok());
  EXPECT_EQ(fs::file_size(photo), 400000u);
  EXPECT_TRUE(isEmptyFolder(homeTrash() / "files"));
  EXPECT_FALSE(fs::exists(homeTrash() / "info" / "big.jpg.trashinfo"));
  for (const auto &entry : fs::directory_iterator(homeTrash())) {
    EXPECT_NE(entry.path().filename().string().rfind(".pindle-partial-", 0), 0u);
  }
}

TEST(TrashSafety, onlyAbandonedEntriesWithoutAFileAndDeadPartsAreCleared) {
  testsupport::TempDir dir;
  const auto kept = trash::moveToTrash(dir.write("kept.jpg", "k").string());
  ASSERT_TRUE(kept.ok());
  const fs::path info = homeTrash() / "info";
  for (const char *name : {"orphan", "young", "locked"}) {
    std::ofstream(info / (std::string(name) + ".trashinfo")) << "[Trash Info]\nPath=/x\n";
  }
  std::ofstream(homeTrash() / ".pindle-partial-1-1") << "half a photo";
  for (const char *name : {"info/orphan.trashinfo", "info/locked.trashinfo",
                           "info/kept.jpg.trashinfo", ".pindle-partial-1-1"}) {
    backdate(homeTrash() / name);
  }
  const int lock = ::open((info / "locked.trashinfo").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(lock, LOCK_EX), 0); // a move still in progress in another process

  struct stat home {};
  ASSERT_EQ(::stat(dir.path().c_str(), &home), 0);
  const auto trash = TrashDirectory::forFile(dir.file("any.jpg").string(), home.st_dev);
  ASSERT_TRUE(trash);
  trashorphans::removeLeftovers(*trash);
  ::close(lock);
  EXPECT_FALSE(fs::exists(info / "orphan.trashinfo"));
  EXPECT_FALSE(fs::exists(homeTrash() / ".pindle-partial-1-1"));
  EXPECT_TRUE(fs::exists(info / "young.trashinfo"));
  EXPECT_TRUE(fs::exists(info / "locked.trashinfo"));
  EXPECT_TRUE(fs::exists(info / "kept.jpg.trashinfo"));
  EXPECT_TRUE(fs::exists(kept.trashedPath));
}

TEST(TrashSafety, restoreGoesOnlyIntoTheFolderThePhotoLeft) {
  testsupport::TempDir dir;
  fs::create_directories(dir.path() / "real" / "album");
  fs::create_directory_symlink("real/album", dir.path() / "linked");
  fs::create_directories(dir.path() / "elsewhere");
  const auto viaLink = trash::moveToTrash(dir.write("linked/l.jpg", "l").string());
  const auto swapped = trash::moveToTrash(dir.write("album/s.jpg", "s").string());
  const auto recreated = trash::moveToTrash(dir.write("again/r.jpg", "r").string());
  ASSERT_TRUE(viaLink.ok() && swapped.ok() && recreated.ok());
  fs::rename(dir.path() / "album", dir.path() / "album.moved");
  fs::create_directory_symlink("album.moved", dir.path() / "album");
  fs::remove(dir.path() / "again");
  fs::create_directory(dir.path() / "again");

  EXPECT_EQ(trash::restore(viaLink.trashedPath, dir.file("linked/l.jpg")).status,
            trash::RestoreStatus::restored);
  const auto refused = trash::restore(swapped.trashedPath, dir.file("album/s.jpg"));
  EXPECT_EQ(refused.status, trash::RestoreStatus::failed);
  EXPECT_EQ(refused.problem.kind, trash::Problem::Kind::folderReplaced);
  EXPECT_EQ(trash::restore(recreated.trashedPath, dir.file("again/r.jpg")).status,
            trash::RestoreStatus::failed);
  EXPECT_TRUE(fs::exists(swapped.trashedPath) && fs::exists(recreated.trashedPath));
  EXPECT_TRUE(isEmptyFolder(dir.path() / "album.moved") && isEmptyFolder(dir.path() / "again"));
}

TEST(TrashSafety, anEntryWithoutAFolderRecordStillRestoresButNeverThroughALink) {
  testsupport::TempDir dir;
  const auto plain = trash::moveToTrash(dir.write("plain/p.jpg", "p").string());
  const auto linked = trash::moveToTrash(dir.write("folder/q.jpg", "q").string());
  ASSERT_TRUE(plain.ok() && linked.ok());
  for (const auto &[moved, original] :
       {std::pair{plain, dir.file("plain/p.jpg")}, std::pair{linked, dir.file("folder/q.jpg")}}) {
    const fs::path info =
        homeTrash() / "info" / (fs::path(moved.trashedPath).filename().string() + ".trashinfo");
    std::ofstream(info, std::ios::trunc)
        << "[Trash Info]\nPath=" << original.string() << "\nDeletionDate=2020-01-01T00:00:00\n";
  }
  fs::rename(dir.path() / "folder", dir.path() / "target");
  fs::create_directory_symlink("target", dir.path() / "folder");

  EXPECT_EQ(trash::restore(plain.trashedPath, dir.file("plain/p.jpg")).status,
            trash::RestoreStatus::restored);
  EXPECT_EQ(trash::restore(linked.trashedPath, dir.file("folder/q.jpg")).status,
            trash::RestoreStatus::failed);
  EXPECT_TRUE(fs::exists(linked.trashedPath));
}

TEST(TrashSafety, movesKilledMidwayLoseNothingAndTheirEntriesAreCleared) {
  testsupport::TempDir dir;
  constexpr int kPhotos = 40;
  for (int i = 0; i < kPhotos; ++i) {
    dir.write("killed-" + std::to_string(i) + ".jpg", "photo " + std::to_string(i));
  }
  for (int round = 0; round < 8; ++round) {
    const pid_t child = ::fork();
    if (child == 0) {
      for (int i = 0; i < kPhotos; ++i) {
        (void)trash::moveToTrash(dir.file("killed-" + std::to_string(i) + ".jpg").string());
      }
      ::_exit(0);
    }
    ::usleep(static_cast<useconds_t>(2000 + 3000 * round));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
  }
  for (const auto &entry : fs::directory_iterator(homeTrash() / "info")) {
    backdate(entry.path());
  }
  struct stat home {};
  ASSERT_EQ(::stat(dir.path().c_str(), &home), 0);
  trashorphans::removeLeftovers(*TrashDirectory::forFile(dir.file("x").string(), home.st_dev));

  std::multiset<std::string> photos;
  for (const fs::path &folder : {dir.path(), homeTrash() / "files"}) {
    for (const auto &entry : fs::directory_iterator(folder)) {
      if (entry.path().filename().string().rfind("killed-", 0) != 0)
        continue;
      std::ifstream in(entry.path());
      photos.insert(std::string(std::istreambuf_iterator<char>(in), {}));
      if (folder != dir.path()) {
        EXPECT_TRUE(
            fs::exists(homeTrash() / "info" / (entry.path().filename().string() + ".trashinfo")));
      }
    }
  }
  for (const auto &entry : fs::directory_iterator(homeTrash() / "info")) {
    EXPECT_TRUE(fs::exists(homeTrash() / "files" / entry.path().stem()));
  }
  EXPECT_EQ(photos.size(), static_cast<std::size_t>(kPhotos));
  for (int i = 0; i < kPhotos; ++i) {
    EXPECT_EQ(photos.count("photo " + std::to_string(i)), 1u);
  }
}
