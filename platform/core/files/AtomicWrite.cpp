#include "platform/core/files/AtomicWrite.h"

#include "platform/core/posix/FdIo.h"
#include "platform/core/posix/UniqueFd.h"

#include <QFile>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::atomicwrite {
namespace {

Unexpected<QString> failure(const char *step, const std::filesystem::path &path) {
  const int error = errno;
  return {QStringLiteral("%1 %2: %3")
              .arg(QString::fromLatin1(step), QFile::decodeName(path.c_str()),
                   error == 0 ? QStringLiteral("short write")
                              : QString::fromLocal8Bit(std::strerror(error)))};
}

} // namespace

Expected<void, QString> replace(const std::filesystem::path &path, std::string_view bytes) {
  return replaceWith(path, [bytes](int fd) { return fdio::writeAll(fd, bytes); });
}

Expected<void, QString> replaceWith(const std::filesystem::path &path,
                                    const std::function<bool(int fd)> &fill) {
  std::string scratch = path.native() + ".XXXXXX";
  // mkstemp makes the file with mode 0600 and O_EXCL: nothing planted there is reused.
  UniqueFd fd(::mkostemp(scratch.data(), O_CLOEXEC));
  if (!fd.isValid()) {
    return failure("create", scratch);
  }
  const auto discard = [&scratch](Unexpected<QString> error) {
    ::unlink(scratch.c_str());
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
  if (::rename(scratch.c_str(), path.c_str()) != 0) {
    return discard(failure("replace", path));
  }
  return {};
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
