#include "platform/core/files/FileLock.h"

#include "platform/core/files/DataFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>

namespace platform {

FileLock FileLock::acquire(const std::filesystem::path &file) { return lock(file, LOCK_EX); }

FileLock FileLock::tryAcquire(const std::filesystem::path &file) {
  return lock(file, LOCK_EX | LOCK_NB);
}

FileLock FileLock::lock(const std::filesystem::path &file, int operation) {
  FileLock held;
  datafile::Opened opened = datafile::openOrCreate(file, O_RDWR, {});
  held.m_refusal = opened.refusal;
  held.m_replacedRefusal = !opened.refusal.isEmpty() && opened.fd.isValid();
  UniqueFd fd = std::move(opened.fd);
  if (!fd.isValid()) {
    held.m_error = opened.error;
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
