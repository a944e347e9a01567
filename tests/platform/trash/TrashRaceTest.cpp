// Moves into the Trash racing other programs: an editor saving a new version over the photo
// while it is copied to another volume, a program swapping two files or swapping the folder
// with a link in a loop, and FIFOs put where a file or an info entry was.
#include "platform/core/trash/Trash.h"
#include "tests/platform/trash/TrashVolume.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestEnvironment.h"

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace platform;
using testsupport::homeTrash;
using testsupport::readBytes;
using trashtest::VolumeWithoutTrash;

namespace {

FileIdentity identityOf(const fs::path &path) {
  struct stat info {};
  EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
  return FileIdentity::of(info);
}

bool renameNoReplace(const fs::path &from, const fs::path &to) {
  return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0;
}

/// The contents of every file in `folders` (hidden ones too), counted.
std::map<std::string, int> contentsIn(const std::vector<fs::path> &folders) {
  std::map<std::string, int> found;
  for (const fs::path &folder : folders) {
    if (!fs::exists(folder))
      continue;
    for (const auto &entry : fs::directory_iterator(folder)) {
      if (entry.is_regular_file() && entry.path().filename().string().rfind(".Trash", 0) != 0)
        ++found[readBytes(entry.path())];
    }
  }
  return found;
}

int countOf(const std::map<std::string, int> &found, const std::string &content) {
  const auto it = found.find(content);
  return it == found.end() ? 0 : it->second;
}

/// Runs `swap` in a loop on another thread while it lives.
struct Loop {
  std::atomic<bool> stop{false};
  std::thread thread;
  explicit Loop(std::function<void()> swap)
      : thread([this, swap = std::move(swap)] {
          while (!stop)
            swap();
        }) {}
  ~Loop() {
    stop = true;
    thread.join();
  }
};

} // namespace

TEST(TrashRace, aVersionSavedDuringACrossVolumeMoveStaysWholeAndTheOldOneAloneIsTrashed) {
  testsupport::TempDir dir;
  const VolumeWithoutTrash volume(dir.path() / "volume");
  SKIP_UNLESS_MOUNTED(volume);
  const std::string before(4 << 20, 'o'), after(4 << 20, 'n');
  const fs::path photo = volume.path / "photo.jpg", saved = volume.path / ".photo.jpg.new";
  const auto timed = std::chrono::steady_clock::now();
  std::ofstream(photo) << before;
  ASSERT_TRUE(trash::moveToTrash(photo.string(), identityOf(photo)).ok());
  const auto copyTime = std::chrono::steady_clock::now() - timed;

  constexpr int kRuns = 16;
  for (int run = 0; run < kRuns; ++run) {
    fs::remove_all(homeTrash());
    std::ofstream(photo) << before;
    std::ofstream(saved) << after;
    const FileIdentity seen = identityOf(photo);
    std::thread editor([&] {
      std::this_thread::sleep_for(copyTime * run / (kRuns - 4));
      fs::rename(saved, photo);
    });
    const auto result = trash::moveToTrash(photo.string(), seen);
    editor.join();
    EXPECT_EQ(readBytes(photo), after) << run;
    const auto trashed = contentsIn({homeTrash() / "files", volume.path});
    EXPECT_EQ(trashed.size(), result.ok() ? 2u : 1u) << run;
    EXPECT_EQ(countOf(trashed, after), 1) << run;
    EXPECT_TRUE(result.ok() || result.status == trash::MoveStatus::changed) << run;
  }

  // A FIFO put under the name is refused at once, never opened to wait for a writer.
  ASSERT_EQ(::mkfifo((volume.path / "fifo.jpg").c_str(), 0600), 0);
  EXPECT_EQ(trash::moveToTrash((volume.path / "fifo.jpg").string()).status,
            trash::MoveStatus::changed);
  fs::remove_all(homeTrash());
}

TEST(TrashRace, aSwapLoopOfTwoFilesLosesNothingAndNeverTrashesTheUnscannedOne) {
  testsupport::TempDir dir;
  const VolumeWithoutTrash volume(dir.path() / "volume");
  SKIP_UNLESS_MOUNTED(volume);
  const fs::path photo = volume.path / "a.jpg", other = volume.path / "b.jpg",
                 parked = volume.path / "swap.tmp";
  const std::string scanned(1 << 20, 'a'), unscanned(1 << 20, 'b');
  for (int run = 0; run < 12; ++run) {
    fs::remove_all(homeTrash());
    std::ofstream(photo) << scanned;
    std::ofstream(other) << unscanned;
    const FileIdentity seen = identityOf(photo);
    trash::MoveResult result;
    {
      // A careful swapper: it never renames over a file and always parks its own again.
      const Loop swapper([&] {
        if (!renameNoReplace(photo, parked))
          return;
        renameNoReplace(other, photo);
        while (fs::exists(parked) && !renameNoReplace(parked, other) &&
               !renameNoReplace(parked, photo)) {
        }
      });
      std::this_thread::sleep_for(std::chrono::microseconds(300 * run));
      result = trash::moveToTrash(photo.string(), seen);
    }
    const auto all = contentsIn({volume.path, homeTrash() / "files"});
    EXPECT_EQ(countOf(all, scanned), 1) << run;
    EXPECT_EQ(countOf(all, unscanned), 1) << run;
    const auto trashed = contentsIn({homeTrash() / "files"});
    EXPECT_EQ(countOf(trashed, unscanned), result.status == trash::MoveStatus::displaced ? 1 : 0)
        << run;
    EXPECT_EQ(countOf(trashed, scanned), result.ok() ? 1 : 0) << run;
    EXPECT_NE(result.status, trash::MoveStatus::missing) << run;
  }
  fs::remove_all(homeTrash());
}

TEST(TrashRace, photosWhoseFolderIsSwappedWithALinkInALoopAreNeverCountedGone) {
  testsupport::TempDir dir;
  fs::remove_all(homeTrash());
  constexpr int kPhotos = 40;
  std::vector<std::pair<fs::path, FileIdentity>> photos;
  for (int i = 0; i < kPhotos; ++i) {
    const fs::path path = dir.write("album/p" + std::to_string(i) + ".jpg", std::to_string(i));
    photos.emplace_back(path, identityOf(path));
  }
  const fs::path album = dir.file("album"), real = dir.file("album.real");
  int moved = 0, refused = 0;
  {
    const Loop swapper([&] {
      if (!renameNoReplace(album, real))
        return;
      std::error_code ignored;
      fs::create_directory_symlink("album.real", album, ignored);
      fs::remove(album, ignored);
      renameNoReplace(real, album);
    });
    for (const auto &[path, seen] : photos) {
      const auto result = trash::moveToTrash(path.string(), seen);
      EXPECT_NE(result.status, trash::MoveStatus::missing) << path;
      EXPECT_NE(result.status, trash::MoveStatus::failed) << result.problem.code;
      moved += result.ok() ? 1 : 0;
      refused += result.status == trash::MoveStatus::changed ? 1 : 0;
    }
  }
  ASSERT_TRUE(fs::is_directory(album) && !fs::is_symlink(album));
  EXPECT_EQ(moved + refused, kPhotos);
  EXPECT_EQ(contentsIn({homeTrash() / "files"}).size(), static_cast<std::size_t>(moved));
  EXPECT_EQ(contentsIn({album, homeTrash() / "files"}).size(), static_cast<std::size_t>(kPhotos));
  fs::remove_all(homeTrash());
}

TEST(TrashRace, anInfoEntryThatIsAFifoOrALinkIsNeverReadThrough) {
  testsupport::TempDir dir;
  fs::remove_all(homeTrash());
  const fs::path photo = dir.write("f/photo.jpg", "photo");
  const fs::path linked = dir.write("f/linked.jpg", "linked");
  const auto fifoMove = trash::moveToTrash(photo.string());
  const auto linkMove = trash::moveToTrash(linked.string());
  ASSERT_TRUE(fifoMove.ok() && linkMove.ok());
  const fs::path info = homeTrash() / "info";
  const fs::path fifoInfo =
      info / (fs::path(fifoMove.trashedPath).filename().string() + ".trashinfo");
  const fs::path linkInfo =
      info / (fs::path(linkMove.trashedPath).filename().string() + ".trashinfo");
  fs::rename(linkInfo, dir.file("elsewhere.trashinfo"));
  fs::create_symlink(dir.file("elsewhere.trashinfo"), linkInfo);
  fs::remove(fifoInfo);
  ASSERT_EQ(::mkfifo(fifoInfo.c_str(), 0600), 0);

  // Without a readable entry only a known identity admits the Trash copy.
  EXPECT_EQ(trash::restore(fifoMove.trashedPath, photo.string()).status,
            trash::RestoreStatus::skipped);
  EXPECT_EQ(trash::restore(linkMove.trashedPath, linked.string()).status,
            trash::RestoreStatus::skipped);
  EXPECT_EQ(trash::restore(fifoMove.trashedPath, photo.string(), fifoMove.trashed).status,
            trash::RestoreStatus::restored);
  EXPECT_EQ(readBytes(photo), "photo");
  fs::remove_all(homeTrash());
}
