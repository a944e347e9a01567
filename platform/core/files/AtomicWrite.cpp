#include "platform/core/files/AtomicWrite.h"

#include "platform/core/posix/FdIo.h"
#include "platform/core/posix/UniqueFd.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::atomicwrite {
namespace {

// The error's text; errno stays as the failed step left it.
Unexpected<QString> failure(const char *step, const std::filesystem::path &path) {
  const int error = errno;
  Unexpected<QString> text{QStringLiteral("%1 %2: %3")
                               .arg(QString::fromLatin1(step), QFile::decodeName(path.c_str()),
                                    error == 0 ? QStringLiteral("short write")
                                               : QString::fromLocal8Bit(std::strerror(error)))};
  errno = error;
  return text;
}

enum class Placing { replace, create };

// Puts the finished scratch file at `path`. A plain rename replaces whatever is there; the
// no-replace rename fails with EEXIST instead. A file system without it gets a hard link,
// which fails the same way, and the scratch name is then removed.
bool place(const std::string &scratch, const std::filesystem::path &path, Placing placing) {
  if (placing == Placing::replace) {
    return ::rename(scratch.c_str(), path.c_str()) == 0;
  }
  if (::renameat2(AT_FDCWD, scratch.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS) {
    return false;
  }
  if (::link(scratch.c_str(), path.c_str()) != 0) {
    return false;
  }
  ::unlink(scratch.c_str());
  return true;
}

Expected<void, QString> write(const std::filesystem::path &path,
                              const std::function<bool(int fd)> &fill, Placing placing) {
  std::string scratch = path.native() + ".XXXXXX";
  // mkstemp makes the file with mode 0600 and O_EXCL: nothing planted there is reused.
  UniqueFd fd(::mkostemp(scratch.data(), O_CLOEXEC));
  if (!fd.isValid()) {
    return failure("create", scratch);
  }
  const auto discard = [&scratch](Unexpected<QString> error) {
    const int why = errno;
    ::unlink(scratch.c_str());
    errno = why;
    return error;
  };
  errno = 0;
  if (!fill(fd.get())) {
    return discard(failure("write", scratch));
  }
  if (::fsync(fd.get()) != 0) {
    return discard(failure("flush", scratch));
  }
  if (!fd.close()) {
    return discard(failure("close", scratch));
  }
  if (!place(scratch, path, placing)) {
    return discard(failure(placing == Placing::replace ? "replace" : "create", path));
  }
  return {};
}

} // namespace

Expected<void, QString> replace(const std::filesystem::path &path, std::string_view bytes) {
  return replaceWith(path, [bytes](int fd) { return fdio::writeAll(fd, bytes); });
}

Expected<void, QString> replaceWith(const std::filesystem::path &path,
                                    const std::function<bool(int fd)> &fill) {
  return write(path, fill, Placing::replace);
}

Expected<void, QString> create(const std::filesystem::path &path, std::string_view bytes) {
  return write(
      path, [bytes](int fd) { return fdio::writeAll(fd, bytes); }, Placing::create);
}

Expected<void, QString> replaceOwnFile(const std::filesystem::path &path, std::string_view bytes) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0) {
    QString refusal;
    if (S_ISLNK(info.st_mode)) {
      refusal = QStringLiteral("a symbolic link");
    } else if (!S_ISREG(info.st_mode)) {
      refusal = QStringLiteral("not a regular file");
    } else if (info.st_uid != ::geteuid()) {
      refusal = QStringLiteral("owned by uid %1").arg(info.st_uid);
    }
    if (!refusal.isEmpty()) {
      return Unexpected<QString>{
          QStringLiteral("%1 refused: %2").arg(QFile::decodeName(path.c_str()), refusal)};
    }
  }
  return replace(path, bytes);
}

} // namespace platform::atomicwrite
