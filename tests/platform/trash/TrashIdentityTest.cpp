// Moves that take only the file that was looked at, undo that brings back only that file,
// long names, a linked home Trash, and the words a failure reaches the user with.
#include "platform/core/trash/Trash.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestEnvironment.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace platform;
using testsupport::homeTrash;
using testsupport::readBytes;

namespace {

FileIdentity identityOf(const fs::path &path) {
  struct stat info {};
  EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
  return FileIdentity::of(info);
}

fs::path infoOf(const std::string &trashedPath) {
  return fs::path(trashedPath).parent_path().parent_path() / "info" /
         (fs::path(trashedPath).filename().string() + ".trashinfo");
}

bool inHomeTrash(const std::string &content) {
  if (!fs::exists(homeTrash() / "files")) {
    return false;
  }
  for (const auto &entry : fs::directory_iterator(homeTrash() / "files")) {
    if (readBytes(entry.path()) == content) {
      return true;
    }
  }
  return false;
}

} // namespace

TEST(TrashIdentity, onlyTheFileThatWasSeenMovesAndAGoneOneIsReportedMissing) {
  testsupport::TempDir dir;
  const fs::path kept = dir.write("P/kept.jpg", "kept");
  const fs::path gone = dir.write("P/gone.jpg", "gone");
  const fs::path replaced = dir.write("P/replaced.jpg", "seen");
  const fs::path rewritten = dir.write("P/rewritten.jpg", "seen");
  const fs::path swapped = dir.write("S/swapped.jpg", "seen in S");
  const FileIdentity keptSeen = identityOf(kept), goneSeen = identityOf(gone),
                     replacedSeen = identityOf(replaced), rewrittenSeen = identityOf(rewritten),
                     swappedSeen = identityOf(swapped);
  fs::remove(gone);
  fs::remove(replaced);
  dir.write("P/replaced.jpg", "a new file under the old name");
  dir.write("P/rewritten.jpg", "seen, then rewritten longer");
  fs::rename(dir.file("S"), dir.file("S.old"));
  dir.write("other/swapped.jpg", "never scanned");
  fs::create_directory_symlink("other", dir.file("S"));

  EXPECT_EQ(trash::moveToTrash(gone.string(), goneSeen).status, trash::MoveStatus::missing);
  for (const auto &[path, seen] :
       {std::pair{replaced, replacedSeen}, std::pair{rewritten, rewrittenSeen},
        std::pair{swapped, swappedSeen}}) {
    const auto refused = trash::moveToTrash(path.string(), seen);
    EXPECT_EQ(refused.status, trash::MoveStatus::changed) << path;
    EXPECT_EQ(refused.problem.kind, trash::Problem::Kind::changed) << path;
    EXPECT_TRUE(fs::exists(path)) << path;
  }
  EXPECT_EQ(readBytes(dir.file("other/swapped.jpg")), "never scanned");
  EXPECT_FALSE(inHomeTrash("never scanned"));
  EXPECT_FALSE(inHomeTrash("a new file under the old name"));

  const auto moved = trash::moveToTrash(kept.string(), keptSeen);
  ASSERT_TRUE(moved.ok()) << static_cast<int>(moved.problem.kind);
  ASSERT_TRUE(moved.trashed.has_value());
  EXPECT_EQ(*moved.trashed, identityOf(moved.trashedPath));
  EXPECT_EQ(trash::restore(moved.trashedPath, kept.string(), moved.trashed).status,
            trash::RestoreStatus::restored);
  EXPECT_EQ(readBytes(kept), "kept");
}

TEST(TrashIdentity, undoNeverRestoresAForeignFileThatTookTheTrashName) {
  testsupport::TempDir dir;
  const fs::path ours = dir.write("P/b.jpg", "ours");
  const auto moved = trash::moveToTrash(ours.string(), identityOf(ours));
  ASSERT_TRUE(moved.ok());
  // Another program empties that entry and trashes a photo of the same name from Q.
  fs::remove(moved.trashedPath);
  fs::remove(infoOf(moved.trashedPath));
  const auto foreign = trash::moveToTrash(dir.write("Q/b.jpg", "from Q").string());
  ASSERT_TRUE(foreign.ok());
  ASSERT_EQ(foreign.trashedPath, moved.trashedPath);
  EXPECT_EQ(trash::restore(moved.trashedPath, ours.string(), moved.trashed).status,
            trash::RestoreStatus::skipped);
  EXPECT_EQ(trash::restore(moved.trashedPath, ours.string()).status, trash::RestoreStatus::skipped);

  // The same path recorded, but another file in the entry: the identity tells them apart.
  fs::remove(foreign.trashedPath);
  std::ofstream(foreign.trashedPath) << "a file put in by hand";
  std::ofstream(infoOf(foreign.trashedPath), std::ios::trunc)
      << "[Trash Info]\nPath=" << ours.string() << "\nDeletionDate=2020-01-01T00:00:00\n";
  EXPECT_EQ(trash::restore(moved.trashedPath, ours.string(), moved.trashed).status,
            trash::RestoreStatus::skipped);
  EXPECT_FALSE(fs::exists(ours));
  EXPECT_FALSE(fs::exists(dir.file("Q/b.jpg")));
}

TEST(TrashIdentity, namesUpTo255BytesAreTrashedUnderShortEntriesAndRestored) {
  testsupport::TempDir dir;
  std::string chinese = "x";
  for (int i = 0; i < 83; ++i) {
    chinese += "照"; // 3 bytes each
  }
  const std::vector<std::string> names = {
      std::string(246, 'a') + ".jpeg",             // 251 bytes
      std::string(246, 'a') + ".jpeg",             // the same again: an entry of its own
      chinese + ".jpg",                            // 254 bytes
      "\xff\xfe" + std::string(248, 'r') + ".png", // 254 bytes, not UTF-8
  };
  std::vector<std::pair<fs::path, trash::MoveResult>> moves;
  std::set<std::string> entries;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string &name = names[i];
    const fs::path original = dir.path() / std::to_string(i) / name;
    fs::create_directories(original.parent_path());
    std::ofstream(original) << name;
    const auto moved = trash::moveToTrash(original.string(), identityOf(original));
    ASSERT_TRUE(moved.ok()) << static_cast<int>(moved.problem.kind);
    moves.emplace_back(original, moved);
    const std::string entry = fs::path(moved.trashedPath).filename().string();
    entries.insert(entry);
    EXPECT_LE(entry.size() + std::string(".trashinfo").size(), 255u);
    EXPECT_EQ(entry.substr(entry.rfind('.')), name.substr(name.rfind('.')));
    EXPECT_EQ(entry.substr(0, 2), name.substr(0, 2)) << "bytes are kept as they are";
    if (QString::fromUtf8(name).toUtf8().toStdString() == name) {
      EXPECT_EQ(QString::fromUtf8(entry).toUtf8().toStdString(), entry) << "a character was cut";
    }
    const std::string recorded =
        QByteArray::fromStdString(original.string()).toPercentEncoding("/").toStdString();
    EXPECT_NE(readBytes(infoOf(moved.trashedPath)).find("Path=" + recorded + "\n"),
              std::string::npos);
  }
  EXPECT_EQ(entries.size(), names.size()) << "equal long names share no entry";
  for (const auto &[original, moved] : moves) {
    EXPECT_EQ(trash::restore(moved.trashedPath, original.string(), moved.trashed).status,
              trash::RestoreStatus::restored);
    EXPECT_EQ(readBytes(original), original.filename().string());
  }
}

TEST(TrashIdentity, aHomeTrashLinkedToTheUsersOwnFolderIsFollowed) {
  testsupport::TempDir dir;
  fs::remove_all(homeTrash());
  fs::create_directories(dir.file("other disk/Trash"));
  fs::create_directory_symlink(dir.file("other disk/Trash"), homeTrash());
  const fs::path photo = dir.write("a.jpg", "a");
  const auto moved = trash::moveToTrash(photo.string(), identityOf(photo));
  ASSERT_TRUE(moved.ok()) << static_cast<int>(moved.problem.kind);
  EXPECT_EQ(readBytes(dir.file("other disk/Trash/files/a.jpg")), "a");
  EXPECT_TRUE(fs::exists(dir.file("other disk/Trash/info/a.jpg.trashinfo")));
  EXPECT_EQ(trash::restore(moved.trashedPath, photo.string(), moved.trashed).status,
            trash::RestoreStatus::restored);
  EXPECT_EQ(readBytes(photo), "a");

  if (::geteuid() == 0) {
    // A link to a folder of another user is still refused.
    ASSERT_EQ(::chown(dir.file("other disk/Trash").c_str(), 12345, 12345), 0);
    EXPECT_EQ(trash::moveToTrash(photo.string()).status, trash::MoveStatus::failed);
    EXPECT_TRUE(fs::exists(photo));
  }
  fs::remove(homeTrash());
}

TEST(TrashIdentity, aReadOnlyVolumeFailsNamingTheFileAloneInChineseAndKeepsItOnce) {
  testsupport::TempDir dir;
  const fs::path volume = dir.file("volume");
  fs::create_directories(volume);
  if (::geteuid() != 0 || ::mount("tmpfs", volume.c_str(), "tmpfs", 0, "size=1m") != 0) {
    GTEST_SKIP() << "needs root and tmpfs mounts to make a read-only volume";
  }
  const fs::path photo = volume / "只读.jpg";
  std::ofstream(photo) << "stays";
  ASSERT_EQ(::mount(nullptr, volume.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
  const auto failed = trash::moveToTrash(photo.string(), identityOf(photo));
  ::umount2(volume.c_str(), MNT_DETACH);
  EXPECT_EQ(failed.status, trash::MoveStatus::failed);
  EXPECT_EQ(failed.problem, (trash::Problem{trash::Problem::Kind::system, EROFS}));
  EXPECT_FALSE(inHomeTrash("stays"));
}
