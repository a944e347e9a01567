#include "platform/core/trash/Trash.h"

#include "platform/core/posix/FdIo.h"
#include "platform/core/trash/TrashDirectory.h"
#include "platform/core/trash/TrashInfo.h"
#include "platform/core/trash/TrashMove.h"
#include "platform/core/trash/TrashName.h"
#include "platform/core/trash/TrashOrphans.h"
#include "platform/core/trash/TrashSource.h"
#include "platform/core/trash/TrashSteps.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace platform::trash {
namespace {

MoveResult failure(MoveStatus status, Problem::Kind why = Problem::Kind::none, int code = 0) {
  return MoveResult{status, {}, Problem{why, code}, std::nullopt};
}

MoveResult failed(int code) {
  return failure(MoveStatus::failed, Problem::Kind::system, code != 0 ? code : EIO);
}

MoveResult refused() { return failure(MoveStatus::changed, Problem::Kind::changed); }

/// A claimed name in the Trash: its `.trashinfo` entry, kept open and locked while the file
/// moves in, so that a clean-up never takes a live move's entry for a leftover.
struct Slot {
  std::string name;
  UniqueFd infoFd;
};

/// Claims a free name in the Trash by creating its `.trashinfo` exclusively, so that two
/// moves of equally named files never share a slot. Empty name on failure (errno says why).
Slot reserveSlot(const TrashDirectory &trash, const std::string &name, const std::string &text) {
  for (int attempt = 0; attempt < 10000; ++attempt) {
    const std::string slot = trashname::entryName(name, attempt);
    struct stat taken {};
    if (::fstatat(trash.filesFd.get(), slot.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0) {
      continue;
    }
    const std::string info = slot + ".trashinfo";
    UniqueFd fd(::openat(trash.infoFd.get(), info.c_str(),
                         O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd.isValid()) {
      if (errno == EEXIST)
        continue;
      return {};
    }
    ::flock(fd.get(), LOCK_EX | LOCK_NB);
    if (!platform::fdio::writeAll(fd.get(), text) || ::fsync(fd.get()) != 0) {
      const int code = errno != 0 ? errno : EIO;
      ::unlinkat(trash.infoFd.get(), info.c_str(), 0);
      errno = code;
      return {};
    }
    trashsteps::reached("entry-made");
    return {slot, std::move(fd)};
  }
  errno = EEXIST;
  return {};
}

MoveResult movedInto(const TrashDirectory &trash, const std::string &slot, MoveStatus status) {
  struct stat moved {};
  std::optional<FileIdentity> trashed;
  if (::fstatat(trash.filesFd.get(), slot.c_str(), &moved, AT_SYMLINK_NOFOLLOW) == 0) {
    trashed = FileIdentity::of(moved);
  }
  return MoveResult{status, trash.root + "/files/" + slot, {}, trashed};
}

/// Moves the file `source` into the Trash under `name` (or a free variant of it), its entry
/// recording `recorded` as the path it came from.
MoveResult moveChecked(const std::string &recorded, const std::string &name,
                       const trashsource::Source &source) {
  const auto trash = TrashDirectory::forFile(recorded, source.info.st_dev);
  if (!trash) {
    return failure(MoveStatus::failed, Problem::Kind::noTrash);
  }
  trashorphans::removeLeftoversOccasionally(*trash);
  const Slot slot =
      reserveSlot(*trash, name, trashinfo::text(recorded, trash->topDir, source.folder.identity));
  if (slot.name.empty()) {
    return failed(errno);
  }
  const auto result =
      trashmove::moveChecked({source.folder.fd.get(), source.name},
                             {trash->filesFd.get(), slot.name}, trash->rootFd.get(), source.info);
  switch (result.status) {
  case trashmove::Status::moved: return movedInto(*trash, slot.name, MoveStatus::moved);
  case trashmove::Status::displaced: return movedInto(*trash, slot.name, MoveStatus::displaced);
  case trashmove::Status::changed:
  case trashmove::Status::failed: break;
  }
  ::unlinkat(trash->infoFd.get(), (slot.name + ".trashinfo").c_str(), 0);
  return result.status == trashmove::Status::changed ? refused() : failed(result.code);
}

/// How often, and how far apart, a path found empty is looked at again before its file
/// counts as gone: a folder or file swapped in a loop is missing for moments only.
constexpr int kGoneLooks = 20;
constexpr auto kGoneLookSpacing = std::chrono::milliseconds(2);

/// True when the folder of `path` is there, a folder and no link unless links are followed.
bool folderIsThere(const std::string &path, bool followFolders) {
  const std::string folder = trashsource::folderPathOf(path);
  struct stat info {};
  const int found = followFolders ? ::stat(folder.c_str(), &info) : ::lstat(folder.c_str(), &info);
  return found == 0 && S_ISDIR(info.st_mode);
}

/// True when nothing is at `path`, in a folder that is there.
bool isGoneNow(const GonePath &gone) {
  return !trashsource::open(gone.path, gone.followFolders) && errno == ENOENT &&
         folderIsThere(gone.path, gone.followFolders);
}

} // namespace

std::vector<bool> staysGone(const std::vector<GonePath> &paths) {
  std::vector<bool> gone(paths.size(), true);
  bool anyLeft = !paths.empty();
  for (int look = 0; look < kGoneLooks && anyLeft; ++look) {
    std::this_thread::sleep_for(kGoneLookSpacing);
    trashsteps::reached("gone-look");
    anyLeft = false;
    for (std::size_t i = 0; i < paths.size(); ++i) {
      gone[i] = gone[i] && isGoneNow(paths[i]);
      anyLeft = anyLeft || gone[i];
    }
  }
  return gone;
}

MoveResult moveToTrash(const std::string &path, const std::optional<FileIdentity> &expected,
                       GoneCheck check) {
  const auto source = trashsource::open(path, !expected.has_value());
  if (!source) {
    const int code = errno;
    if (code == ELOOP) {
      return refused();
    }
    if (code != ENOENT && code != ENOTDIR) {
      return failed(code);
    }
    if (check == GoneCheck::byCaller) {
      return failure(MoveStatus::missing);
    }
    return staysGone({{path, !expected.has_value()}}).front() ? failure(MoveStatus::missing)
                                                              : refused();
  }
  if (expected && !expected->matches(source->info)) {
    return refused();
  }
  return moveChecked(path, source->name, *source);
}

MoveResult moveToTrashAs(const std::string &path, const std::string &recorded) {
  const auto source = trashsource::open(path, false);
  if (!source) {
    return failed(errno);
  }
  if (!S_ISREG(source->info.st_mode)) {
    return refused();
  }
  return moveChecked(recorded, std::filesystem::path(recorded).filename().string(), *source);
}

} // namespace platform::trash
