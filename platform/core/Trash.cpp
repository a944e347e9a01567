#include "platform/core/Trash.h"

#include "platform/core/TrashDirectory.h"
#include "platform/core/TrashErrors.h"
#include "platform/core/TrashInfo.h"
#include "platform/core/TrashMove.h"
#include "platform/core/TrashName.h"
#include "platform/core/TrashOrphans.h"
#include "platform/core/TrashSource.h"
#include "platform/core/posix/FdIo.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::trash {
namespace {

MoveResult failure(MoveStatus status, QString error) {
  return MoveResult{status, {}, std::move(error), std::nullopt};
}

MoveResult failed(const std::string &path, int code) {
  return failure(MoveStatus::failed, trasherrors::moveFailed(path, code != 0 ? code : EIO));
}

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
    return {slot, std::move(fd)};
  }
  errno = EEXIST;
  return {};
}

/// After a rename within the volume the Trash entry must be the very file that was checked;
/// if another file took the name in between, it goes back where it was found (never over
/// a file) with its entry removed. True when the entry is the checked file.
bool keepOnlyTheCheckedFile(const TrashDirectory &trash, const Slot &slot,
                            const trashsource::Source &source) {
  struct stat moved {};
  if (::fstatat(trash.filesFd.get(), slot.name.c_str(), &moved, AT_SYMLINK_NOFOLLOW) != 0 ||
      moved.st_dev != source.info.st_dev || moved.st_ino == source.info.st_ino) {
    return true;
  }
  if (::renameat2(trash.filesFd.get(), slot.name.c_str(), source.folder.fd.get(),
                  source.name.c_str(), RENAME_NOREPLACE) == 0) {
    ::unlinkat(trash.infoFd.get(), (slot.name + ".trashinfo").c_str(), 0);
  }
  return false;
}

MoveResult moveChecked(const std::string &path, const trashsource::Source &source, bool checked) {
  const auto trash = TrashDirectory::forFile(path, source.info.st_dev);
  if (!trash) {
    return failure(MoveStatus::failed, trasherrors::noTrash(path));
  }
  trashorphans::removeLeftoversOccasionally(*trash);
  const Slot slot = reserveSlot(*trash, source.name,
                                trashinfo::text(path, trash->topDir, source.folder.identity));
  if (slot.name.empty()) {
    return failed(path, errno);
  }
  const int code = trashmove::moveNoReplace({source.folder.fd.get(), source.name},
                                            {trash->filesFd.get(), slot.name}, trash->rootFd.get());
  if (code != 0) {
    ::unlinkat(trash->infoFd.get(), (slot.name + ".trashinfo").c_str(), 0);
    return failed(path, code);
  }
  if (checked && !keepOnlyTheCheckedFile(*trash, slot, source)) {
    return failure(MoveStatus::changed, trasherrors::changed(path));
  }
  struct stat moved {};
  std::optional<FileIdentity> trashed;
  if (::fstatat(trash->filesFd.get(), slot.name.c_str(), &moved, AT_SYMLINK_NOFOLLOW) == 0) {
    trashed = FileIdentity::of(moved);
  }
  return MoveResult{MoveStatus::moved, trash->root + "/files/" + slot.name, {}, trashed};
}

} // namespace

MoveResult moveToTrash(const std::string &path, const std::optional<FileIdentity> &expected) {
  const auto source = trashsource::open(path, !expected.has_value());
  if (!source) {
    const int code = errno;
    if (code == ELOOP) {
      return failure(MoveStatus::changed, trasherrors::changed(path));
    }
    return code == ENOENT || code == ENOTDIR ? failure(MoveStatus::missing, {})
                                             : failed(path, code);
  }
  if (expected && !expected->matches(source->info)) {
    return failure(MoveStatus::changed, trasherrors::changed(path));
  }
  return moveChecked(path, *source, expected.has_value());
}

} // namespace platform::trash
