#include "platform/core/files/DataFile.h"

#include "platform/core/files/AtomicWrite.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace platform::datafile {
namespace {

// Tries to make the missing file, then to replace a refused entry, before giving up.
constexpr int kAttempts = 3;

// Why opening failed with `error`, when the cause is the entry rather than the system: the
// kernel reports a link as ELOOP and a FIFO without reader (opened to write) as ENXIO.
QString refusalAfter(const std::filesystem::path &path, int error) {
  if (error == ELOOP) {
    return kindOf(S_IFLNK);
  }
  return plantedAt(path);
}

} // namespace

QString kindOf(unsigned mode) {
  if (S_ISFIFO(mode)) {
    return QStringLiteral("a FIFO");
  }
  if (S_ISCHR(mode) || S_ISBLK(mode)) {
    return QStringLiteral("a device");
  }
  if (S_ISSOCK(mode)) {
    return QStringLiteral("a socket");
  }
  if (S_ISDIR(mode)) {
    return QStringLiteral("a folder");
  }
  if (S_ISLNK(mode)) {
    return QStringLiteral("a symbolic link");
  }
  return QStringLiteral("not a regular file");
}

QString plantedAt(const std::filesystem::path &path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode)) {
    return {};
  }
  return kindOf(info.st_mode);
}

Opened open(const std::filesystem::path &path, int access) {
  Opened opened;
  UniqueFd fd(::open(path.c_str(), access | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat info {};
  if (!fd.isValid() || ::fstat(fd.get(), &info) != 0) {
    opened.error = errno;
    opened.refusal = opened.error == ENOENT ? QString() : refusalAfter(path, opened.error);
    return opened;
  }
  if (!S_ISREG(info.st_mode)) {
    opened.refusal = kindOf(info.st_mode);
    opened.error = EINVAL;
    return opened;
  }
  // Opened without blocking only to refuse a FIFO safely; a regular file is used normally.
  const int flags = ::fcntl(fd.get(), F_GETFL);
  if (flags == -1 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
    opened.error = errno;
    return opened;
  }
  opened.fd = std::move(fd);
  return opened;
}

bool replaceEntry(const std::filesystem::path &path, std::string_view initial) {
  struct stat info {};
  // A rename cannot replace a folder: an empty one goes first, any other stays.
  if (::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && ::rmdir(path.c_str()) != 0) {
    if (errno == EEXIST) {
      errno = ENOTEMPTY;
    }
    return false;
  }
  return atomicwrite::replace(path, initial).hasValue();
}

Opened openOrCreate(const std::filesystem::path &path, int access, std::string_view initial) {
  QString replaced;
  Opened opened;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    opened = open(path, access);
    if (opened.fd.isValid()) {
      break;
    }
    if (opened.error == ENOENT) {
      // Another writer may make it first (EEXIST): its file is opened on the next turn.
      if (!atomicwrite::create(path, initial) && errno != EEXIST) {
        opened.error = errno;
        break;
      }
    } else if (opened.refusal.isEmpty() || !replaced.isEmpty()) {
      break; // a plain error, or refused again after one replacement
    } else if (replaceEntry(path, initial)) {
      replaced = opened.refusal;
    } else {
      opened.error = errno;
      break;
    }
  }
  if (opened.fd.isValid() || opened.refusal.isEmpty()) {
    opened.refusal = replaced;
  }
  return opened;
}

} // namespace platform::datafile
