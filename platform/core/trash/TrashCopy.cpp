#include "platform/core/trash/TrashCopy.h"

#include "platform/core/posix/FdIo.h"
#include "platform/core/posix/UniqueFd.h"
#include "platform/core/trash/TrashSteps.h"

#include <atomic>
#include <cerrno>
#include <sys/file.h>
#include <unistd.h>

namespace platform::trashcopy {
namespace {

using trashmove::Place;

/// Returned by the unnamed copy when the volume cannot make or link unnamed files.
constexpr int kNoUnnamedFiles = -1;

/// Copies the bytes of `in` into `out`, then its mode and its access and modification times
/// (a photo without a date of its own is sorted by its modification time), then flushes it.
int fill(int in, int out, const struct stat &info) {
  if (::lseek(in, 0, SEEK_SET) < 0) {
    return errno;
  }
  char buffer[1 << 16];
  for (;;) {
    const long n = platform::fdio::readSome(in, buffer, sizeof buffer);
    if (n == 0)
      break;
    if (n < 0)
      return errno;
    if (!platform::fdio::writeAll(out, std::string_view(buffer, static_cast<std::size_t>(n)))) {
      return errno != 0 ? errno : EIO;
    }
    trashsteps::reached("copy-written");
  }
  const struct timespec times[2] = {info.st_atim, info.st_mtim};
  if (::fchmod(out, info.st_mode & 07777) != 0 || ::futimens(out, times) != 0 ||
      ::fsync(out) != 0) {
    return errno;
  }
  return 0;
}

/// Gives the unnamed file `fd` the name `to`; fails with EEXIST when the name is taken.
int linkUnnamed(int fd, const Place &to) {
  if (::linkat(fd, "", to.dirFd, to.name.c_str(), AT_EMPTY_PATH) == 0) {
    return 0;
  }
  if (errno == EEXIST) {
    return EEXIST;
  }
  // Without the right to link by descriptor, the same link through /proc is allowed.
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  if (::linkat(AT_FDCWD, self.c_str(), to.dirFd, to.name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
    return 0;
  }
  return errno == EEXIST ? EEXIST : kNoUnnamedFiles;
}

/// Copies into a file that has no name until it is complete: a kill leaves nothing.
int copyUnnamed(int in, const struct stat &info, const Place &to) {
  if (!trashsteps::unnamedFilesAllowed()) {
    return kNoUnnamedFiles;
  }
  const UniqueFd out(::openat(to.dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
  if (!out.isValid()) {
    return kNoUnnamedFiles;
  }
  const int code = fill(in, out.get(), info);
  return code != 0 ? code : linkUnnamed(out.get(), to);
}

/// Renames our own `spare` to `to` without overwriting; link and unlink where the volume
/// cannot.
int renameSpare(int spareDirFd, const std::string &spare, const Place &to) {
  if (::renameat2(spareDirFd, spare.c_str(), to.dirFd, to.name.c_str(), RENAME_NOREPLACE) == 0) {
    return 0;
  }
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
    return errno;
  }
  if (::linkat(spareDirFd, spare.c_str(), to.dirFd, to.name.c_str(), 0) != 0) {
    return errno;
  }
  ::unlinkat(spareDirFd, spare.c_str(), 0);
  return 0;
}

/// Copies under a ".pindle-partial-…" name of this process, locked while it is written so
/// that a clean-up can tell a dead copy from a live one, then renames it to `to`.
int copyNamed(int in, const struct stat &info, const Place &to, int spareDirFd) {
  static std::atomic<unsigned> counter{0};
  const std::string spare = std::string(trashmove::kPartialPrefix) + std::to_string(::getpid()) +
                            "-" + std::to_string(counter.fetch_add(1));
  const UniqueFd out(::openat(spareDirFd, spare.c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!out.isValid()) {
    return errno;
  }
  ::flock(out.get(), LOCK_EX | LOCK_NB);
  trashsteps::reached("partial-made");
  int code = fill(in, out.get(), info);
  if (code == 0) {
    code = renameSpare(spareDirFd, spare, to);
  }
  if (code != 0) {
    ::unlinkat(spareDirFd, spare.c_str(), 0);
  }
  return code;
}

/// Flushes the folder `dirFd` (opened for reading or as a path), so that the name just
/// given lasts a power loss. A volume that cannot flush folders is taken as it is.
int syncFolder(int dirFd) {
  if (::fsync(dirFd) == 0) {
    return 0;
  }
  if (errno == EBADF) {
    const UniqueFd readable(::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (readable.isValid() && ::fsync(readable.get()) == 0) {
      return 0;
    }
  }
  return errno == EINVAL || errno == EROFS || errno == EBADF ? 0 : errno;
}

} // namespace

int copyNoReplace(int in, const struct stat &info, const Place &to, int spareDirFd) {
  int code = copyUnnamed(in, info, to);
  code = code == kNoUnnamedFiles ? copyNamed(in, info, to, spareDirFd) : code;
  if (code != 0) {
    return code;
  }
  trashsteps::reached("copy-named");
  // The source goes next: the copy's name must be on the disk before it does.
  code = syncFolder(to.dirFd);
  if (code != 0) {
    ::unlinkat(to.dirFd, to.name.c_str(), 0);
    return code;
  }
  trashsteps::reached("copy-folder-synced");
  return 0;
}

} // namespace platform::trashcopy
