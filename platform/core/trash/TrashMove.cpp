#include "platform/core/trash/TrashMove.h"

#include "platform/core/posix/UniqueFd.h"
#include "platform/core/trash/TrashCopy.h"
#include "platform/core/trash/TrashSteps.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <unistd.h>

namespace platform::trashmove {
namespace {

bool sameFile(const struct stat &a, const struct stat &b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool sameSizeAndTime(const struct stat &a, const struct stat &b) {
  return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
         a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

/// Also the change time, which no program can set back: a rewrite in place that restores
/// the modification time still shows. Only for two looks between which the file was not
/// renamed (a rename changes it too).
bool sameContent(const struct stat &a, const struct stat &b) {
  return sameSizeAndTime(a, b) && a.st_ctim.tv_sec == b.st_ctim.tv_sec &&
         a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

bool noRenameFlags(int code) { return code == EINVAL || code == ENOSYS || code == EOPNOTSUPP; }

Result failed(int code) { return {Status::failed, code != 0 ? code : EIO}; }

/// Moves our own entry `from` (a private name or a Trash entry) back to `to`, never over a
/// file; where the volume cannot rename so, a link and the removal of our own name do.
int putBack(const Place &from, const Place &to) {
  if (::renameat2(from.dirFd, from.name.c_str(), to.dirFd, to.name.c_str(), RENAME_NOREPLACE) ==
      0) {
    return 0;
  }
  if (!noRenameFlags(errno)) {
    return errno;
  }
  if (::linkat(from.dirFd, from.name.c_str(), to.dirFd, to.name.c_str(), 0) != 0) {
    return errno;
  }
  ::unlinkat(from.dirFd, from.name.c_str(), 0);
  return 0;
}

/// Renames the file at `from` to a private name in its folder, where no other program saves
/// or swaps files, so that it can be looked at and removed without a race. Where the volume
/// cannot rename without replacing, a plain rename to the name just seen free does.
int nameAside(const Place &from, Place &aside) {
  static std::atomic<unsigned> counter{0};
  aside = {from.dirFd, leavingName(from.name, counter.fetch_add(1))};
  if (::renameat2(from.dirFd, from.name.c_str(), aside.dirFd, aside.name.c_str(),
                  RENAME_NOREPLACE) == 0) {
    trashsteps::reached("source-named-aside");
    return 0;
  }
  if (!noRenameFlags(errno)) {
    return errno;
  }
  struct stat taken {};
  if (::fstatat(aside.dirFd, aside.name.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0) {
    return EEXIST;
  }
  if (::renameat(from.dirFd, from.name.c_str(), aside.dirFd, aside.name.c_str()) != 0) {
    return errno;
  }
  trashsteps::reached("source-named-aside");
  return 0;
}

void dropCopy(const Place &to) {
  ::unlinkat(to.dirFd, to.name.c_str(), 0);
  trashsteps::reached("copy-dropped");
}

/// Puts our own `aside` back to `from` and only then drops the copy at `to`, so that no
/// moment leaves the file under a hidden name alone. Where a new file took the name, the
/// copy goes all the same (the caller moves the file at `aside` to `to` in its place).
/// Returns whether it went back.
bool restoreThenDrop(const Place &aside, const Place &from, const Place &to) {
  if (putBack(aside, from) == 0) {
    trashsteps::reached("source-put-back");
    dropCopy(to);
    return true;
  }
  dropCopy(to);
  return false;
}

/// The file that was copied, now at the private name `aside`: removed when it is unchanged
/// since the copy began (`in` -1: `to` is a link to it, nothing to compare). Otherwise it
/// goes back under its name and the copy goes; where a new file took the name meanwhile, the
/// changed file takes the copy's place in `to`.
Result removeCopied(const Place &aside, const Place &from, const Place &to, int spareDirFd, int in,
                    const struct stat &copied) {
  struct stat now = copied;
  // The rename aside changed the change time; the look just before it compared that too.
  const bool unchanged = in < 0 || (::fstat(in, &now) == 0 && sameSizeAndTime(now, copied));
  if (unchanged && ::unlinkat(aside.dirFd, aside.name.c_str(), 0) == 0) {
    trashsteps::reached("source-removed");
    return {Status::moved};
  }
  const int code = unchanged ? errno : 0;
  if (!restoreThenDrop(aside, from, to)) {
    return moveChecked(aside, to, spareDirFd, now);
  }
  return code != 0 ? failed(code) : Result{Status::changed};
}

/// Removes `from` once `to` holds the copy of the file open as `in` (described by `copied`),
/// only when the name still refers to that file: the name is first renamed aside, so that
/// what is removed is what was looked at. Another file found under the name is put back and
/// the copy goes; where the name was taken again meanwhile, the file found goes to `to`.
Result removeSource(const Place &from, const Place &to, int spareDirFd, int in,
                    const struct stat &copied) {
  Place aside;
  const int code = nameAside(from, aside);
  if (code != 0) {
    dropCopy(to);
    return code == ENOENT ? Result{Status::changed} : failed(code);
  }
  struct stat found {};
  if (::fstatat(aside.dirFd, aside.name.c_str(), &found, AT_SYMLINK_NOFOLLOW) != 0) {
    dropCopy(to);
    return {Status::changed};
  }
  if (sameFile(found, copied)) {
    return removeCopied(aside, from, to, spareDirFd, in, copied);
  }
  if (restoreThenDrop(aside, from, to)) {
    return {Status::changed};
  }
  const Result foreign = moveChecked(aside, to, spareDirFd, found);
  return foreign.status == Status::moved ? Result{Status::displaced} : foreign;
}

/// Across volumes: the file is opened once, checked, copied from that descriptor, and its
/// name removed only while it still names that file.
Result copyThenRemove(const Place &from, const Place &to, int spareDirFd, const struct stat &seen) {
  const UniqueFd in(::openat(from.dirFd, from.name.c_str(),
                             O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat before {};
  if (!in.isValid()) {
    const int code = errno;
    return code == ENOENT || code == ELOOP || code == ENXIO ? Result{Status::changed}
                                                            : failed(code);
  }
  if (::fstat(in.get(), &before) != 0) {
    return failed(errno);
  }
  if (!S_ISREG(before.st_mode) || !sameFile(before, seen) || !sameContent(before, seen)) {
    return {Status::changed};
  }
  const int code = trashcopy::copyNoReplace(in.get(), before, to, spareDirFd);
  if (code != 0) {
    return failed(code);
  }
  struct stat after {};
  if (::fstat(in.get(), &after) != 0 || !sameContent(after, before)) {
    dropCopy(to);
    return {Status::changed};
  }
  trashsteps::reached("source-checked");
  return removeSource(from, to, spareDirFd, in.get(), before);
}

/// After a rename within the volume `to` must be the file that was looked at; another file
/// that took the name in between goes back where it was found, never over a file.
Result checkRenamed(const Place &from, const Place &to, const struct stat &seen) {
  struct stat moved {};
  if (::fstatat(to.dirFd, to.name.c_str(), &moved, AT_SYMLINK_NOFOLLOW) != 0 ||
      sameFile(moved, seen)) {
    return {Status::moved};
  }
  return putBack(to, from) == 0 ? Result{Status::changed} : Result{Status::displaced};
}

/// Where the volume cannot rename without replacing: `to` becomes a second link to the file,
/// and the old name goes as after a copy.
Result linkThenRemove(const Place &from, const Place &to, int spareDirFd, const struct stat &seen) {
  if (::linkat(from.dirFd, from.name.c_str(), to.dirFd, to.name.c_str(), 0) != 0) {
    return errno == ENOENT ? Result{Status::changed} : failed(errno);
  }
  struct stat linked {};
  if (::fstatat(to.dirFd, to.name.c_str(), &linked, AT_SYMLINK_NOFOLLOW) != 0 ||
      !sameFile(linked, seen)) {
    dropCopy(to);
    return {Status::changed};
  }
  return removeSource(from, to, spareDirFd, -1, seen);
}

} // namespace

std::string leavingName(const std::string &name, unsigned counter) {
  const auto inner = parseLeftover(name, kLeavingPrefix);
  const std::string original = inner ? inner->name : name;
  const std::string bare =
      std::string(kLeavingPrefix) + std::to_string(::getpid()) + "-" + std::to_string(counter);
  const std::string full = bare + "-" + original;
  return original.empty() || full.size() > NAME_MAX ? bare : full;
}

std::optional<Leftover> parseLeftover(const std::string &name, const char *prefix) {
  const std::string_view text(name);
  const std::string_view head(prefix);
  if (!text.starts_with(head)) {
    return std::nullopt;
  }
  std::size_t at = head.size();
  const std::size_t pidEnd = text.find('-', at);
  if (pidEnd == std::string_view::npos || pidEnd == at) {
    return std::nullopt;
  }
  Leftover found;
  for (const char digit : text.substr(at, pidEnd - at)) {
    if (digit < '0' || digit > '9' || found.owner > 100'000'000) {
      return std::nullopt;
    }
    found.owner = found.owner * 10 + (digit - '0');
  }
  at = pidEnd + 1;
  const std::size_t counterEnd = text.find('-', at);
  if (counterEnd != std::string_view::npos) {
    found.name = std::string(text.substr(counterEnd + 1));
  }
  return found;
}

Result moveChecked(const Place &from, const Place &to, int spareDirFd, const struct stat &seen) {
  if (::renameat2(from.dirFd, from.name.c_str(), to.dirFd, to.name.c_str(), RENAME_NOREPLACE) ==
      0) {
    return checkRenamed(from, to, seen);
  }
  const int code = errno;
  if (noRenameFlags(code)) {
    return linkThenRemove(from, to, spareDirFd, seen);
  }
  if (code == EXDEV) {
    return copyThenRemove(from, to, spareDirFd, seen);
  }
  struct stat still {};
  if (code == ENOENT &&
      ::fstatat(from.dirFd, from.name.c_str(), &still, AT_SYMLINK_NOFOLLOW) != 0) {
    return {Status::changed};
  }
  return failed(code);
}

} // namespace platform::trashmove
