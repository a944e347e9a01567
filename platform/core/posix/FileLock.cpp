#include "platform/core/posix/FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace platform {

FileLock FileLock::acquire(const std::filesystem::path &file) { return lock(file, LOCK_EX); }

FileLock FileLock::tryAcquire(const std::filesystem::path &file) {
  return lock(file, LOCK_EX | LOCK_NB);
}

FileLock FileLock::lock(const std::filesystem::path &file, int operation) {
  FileLock held;
  UniqueFd fd(::open(file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
  struct stat info {};
  if (!fd.isValid() || ::fstat(fd.get(), &info) != 0) {
    held.m_error = errno;
    return held;
  }
  if (!S_ISREG(info.st_mode)) {
    held.m_error = EINVAL;
    return held;
  }
  int result = 0;
  do {
    result = ::flock(fd.get(), operation);
  } while (result != 0 && errno == EINTR);
  if (result == 0) {
    held.m_fd = std::move(fd);
  } else {
    held.m_error = errno;
  }
  return held;
}

} // namespace platform
