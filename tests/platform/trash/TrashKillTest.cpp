// Moves into the Trash across volumes and restores out of it, killed at every step they take,
// on a volume that can make unnamed files and on one that cannot: once the leftovers are
// resolved, the photo is back under its name or whole in the Trash with its entry, and no
// file of ours is left under a hidden name. And a rewrite in place that restores the
// modification time during the copy keeps the photo where it is.
#include "platform/core/trash/Trash.h"
#include "platform/core/trash/TrashLeftovers.h"
#include "platform/core/trash/TrashSteps.h"
#include "tests/platform/trash/TrashVolume.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestEnvironment.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace platform;
using testsupport::homeTrash;
using testsupport::readBytes;
using trashtest::VolumeWithoutTrash;

namespace {

constexpr int kFinished = 3;
constexpr int kStopped = 4;

int stepsLeft = 0;
std::vector<std::string> trace;

/// Ends the process at the step it was told, as a kill would: no clean-up runs.
void stopAtStep(const char *) {
  if (--stepsLeft == 0) {
    ::_exit(kStopped);
  }
}

void traceStep(const char *step) { trace.emplace_back(step); }

/// Runs `operation` in a child process that stops at step `stopAt`; true when it stopped
/// there, false when it ran to its end first.
template <typename Operation> bool stopsAt(int stopAt, bool unnamedFiles, Operation operation) {
  const pid_t child = ::fork();
  if (child == 0) {
    trashsteps::setUnnamedFilesAllowed(unnamedFiles);
    stepsLeft = stopAt;
    trashsteps::setObserver(stopAtStep);
    operation();
    ::_exit(kFinished);
  }
  int status = 0;
  EXPECT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status));
  return WEXITSTATUS(status) == kStopped;
}

/// Every name in `folders` that one of our moves gives a file for a while.
std::vector<std::string> hiddenLeftovers(const std::vector<fs::path> &folders) {
  std::vector<std::string> found;
  for (const fs::path &folder : folders) {
    if (!fs::exists(folder))
      continue;
    for (const auto &entry : fs::directory_iterator(folder)) {
      if (entry.path().filename().string().rfind(".pindle-", 0) == 0)
        found.push_back(entry.path().string());
    }
  }
  return found;
}

/// Where the bytes `content` can be seen: 1 for the photo under its name, plus one for each
/// Trash entry (file and info) that holds them.
int visibleCopies(const fs::path &photo, const std::string &content) {
  int copies = fs::exists(photo) && readBytes(photo) == content ? 1 : 0;
  const fs::path files = homeTrash() / "files";
  if (!fs::exists(files))
    return copies;
  for (const auto &entry : fs::directory_iterator(files)) {
    const std::string slot = entry.path().filename().string();
    if (slot.rfind(".pindle-", 0) != 0 && readBytes(entry.path()) == content &&
        fs::exists(homeTrash() / "info" / (slot + ".trashinfo")))
      ++copies;
  }
  return copies;
}

class TrashKill : public ::testing::TestWithParam<bool> {
protected:
  void SetUp() override { fs::remove_all(homeTrash()); }
  void TearDown() override {
    trashsteps::setObserver(nullptr);
    trashsteps::setUnnamedFilesAllowed(true);
    fs::remove_all(homeTrash());
  }

  /// Resolves what the killed step left, as a start and a scan of the folder do, and checks
  /// that the photo is whole where the user can see it and nothing of ours is hidden. (A
  /// kill after the copy got its Trash name and before the source left keeps both: the
  /// photo under its name and a copy in the Trash with its entry.)
  void expectResolved(const fs::path &photo, const std::string &content, int stopAt) {
    (void)trashleftovers::resolveFolder(photo.parent_path().string());
    trashleftovers::resolveHomeTrash();
    EXPECT_EQ(hiddenLeftovers({photo.parent_path(), homeTrash(), homeTrash() / "files"}),
              std::vector<std::string>())
        << "stopped at step " << stopAt;
    EXPECT_GE(visibleCopies(photo, content), 1) << "stopped at step " << stopAt;
  }

  testsupport::TempDir m_dir;
};

} // namespace

TEST_P(TrashKill, aMoveKilledAtAnyStepLeavesThePhotoAtItsNameOrWholeInTheTrash) {
  const VolumeWithoutTrash volume(m_dir.path() / "volume");
  SKIP_UNLESS_MOUNTED(volume);
  const std::string content(300000, 'p');
  int stopAt = 1;
  for (; stopAt < 40; ++stopAt) {
    const fs::path photo = volume.path / ("photo-" + std::to_string(stopAt) + ".jpg");
    std::ofstream(photo) << content;
    if (!stopsAt(stopAt, GetParam(), [&] { (void)trash::moveToTrash(photo.string()); })) {
      EXPECT_FALSE(fs::exists(photo));
      EXPECT_EQ(visibleCopies(photo, content), 1);
      break;
    }
    expectResolved(photo, content, stopAt);
    fs::remove_all(homeTrash());
    fs::remove(photo);
  }
  EXPECT_GE(stopAt, GetParam() ? 6 : 8) << "every step was reached";
}

TEST_P(TrashKill, anUndoKilledAtAnyStepLeavesThePhotoAtItsNameOrWholeInTheTrash) {
  const VolumeWithoutTrash volume(m_dir.path() / "volume");
  SKIP_UNLESS_MOUNTED(volume);
  const std::string content(300000, 'u');
  int stopAt = 1;
  for (; stopAt < 40; ++stopAt) {
    const fs::path photo = volume.path / ("undo-" + std::to_string(stopAt) + ".jpg");
    std::ofstream(photo) << content;
    const auto moved = trash::moveToTrash(photo.string());
    ASSERT_TRUE(moved.ok());
    if (!stopsAt(stopAt, GetParam(),
                 [&] { (void)trash::restore(moved.trashedPath, photo.string(), moved.trashed); })) {
      EXPECT_EQ(readBytes(photo), content);
      EXPECT_EQ(visibleCopies(photo, content), 1);
      break;
    }
    expectResolved(photo, content, stopAt);
    fs::remove_all(homeTrash());
    fs::remove(photo);
  }
  EXPECT_GE(stopAt, GetParam() ? 5 : 7) << "every step was reached";
}

INSTANTIATE_TEST_SUITE_P(UnnamedFiles, TrashKill, ::testing::Values(true, false),
                         [](const auto &param) {
                           return param.param ? std::string("allowed") : std::string("missing");
                         });

TEST(TrashSteps, aPhotoChangedWhileItLeavesIsPutBackBeforeItsCopyGoesAndARewriteIsCaught) {
  testsupport::TempDir dir;
  const VolumeWithoutTrash volume(dir.path() / "volume");
  SKIP_UNLESS_MOUNTED(volume);
  fs::remove_all(homeTrash());
  // Rewritten in place during the copy, its modification time set back as it was: only the
  // change time tells, and the new bytes stay where they are.
  static fs::path photo;
  photo = volume.path / "rewritten.jpg";
  std::ofstream(photo) << std::string(300000, 'a');
  trashsteps::setObserver([](const char *step) {
    if (std::string(step) != "copy-written")
      return;
    trashsteps::setObserver(nullptr);
    struct stat before {};
    ::stat(photo.c_str(), &before);
    std::fstream(photo, std::ios::in | std::ios::out | std::ios::binary) << "B";
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ::utimensat(AT_FDCWD, photo.c_str(), times, 0);
  });
  EXPECT_EQ(trash::moveToTrash(photo.string()).status, trash::MoveStatus::changed);
  EXPECT_EQ(readBytes(photo), "B" + std::string(299999, 'a'));
  EXPECT_EQ(testsupport::trashedFileCount(), 0u);

  // Changed between its last look and its rename aside: it goes back under its name before
  // the copy is dropped, so that no moment leaves it under a hidden name alone.
  trace.clear();
  trashsteps::setObserver([](const char *step) {
    traceStep(step);
    if (std::string(step) == "source-checked")
      std::ofstream(photo, std::ios::app) << "more";
  });
  EXPECT_EQ(trash::moveToTrash(photo.string()).status, trash::MoveStatus::changed);
  trashsteps::setObserver(nullptr);
  EXPECT_EQ(readBytes(photo), "B" + std::string(299999, 'a') + "more");
  const auto putBack = std::find(trace.begin(), trace.end(), "source-put-back");
  ASSERT_NE(putBack, trace.end());
  EXPECT_NE(std::find(putBack, trace.end(), "copy-dropped"), trace.end());
  EXPECT_EQ(std::find(trace.begin(), putBack, "copy-dropped"), putBack);
  // The Trash folder is on the disk before the source goes.
  trace.clear();
  trashsteps::setObserver(traceStep);
  EXPECT_TRUE(trash::moveToTrash(photo.string()).ok());
  trashsteps::setObserver(nullptr);
  const auto synced = std::find(trace.begin(), trace.end(), "copy-folder-synced");
  EXPECT_NE(std::find(synced, trace.end(), "source-removed"), trace.end());
  fs::remove_all(homeTrash());
}
