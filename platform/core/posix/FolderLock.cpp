#include "platform/core/posix/FolderLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>

namespace platform {

FolderLock FolderLock::acquire(const std::filesystem::path &folder, Mode mode) {
  return lock(folder, mode == Mode::shared ? LOCK_SH : LOCK_EX);
}

FolderLock FolderLock::tryExclusive(const std::filesystem::path &folder) {
  return lock(folder, LOCK_EX | LOCK_NB);
}

FolderLock FolderLock::lock(const std::filesystem::path &folder, int operation) {
  const std::filesystem::path &target = folder.empty() ? std::filesystem::path(".") : folder;
  UniqueFd fd(::open(target.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.isValid()) {
    return {};
  }
  int result = 0;
  do {
    result = ::flock(fd.get(), operation);
  } while (result != 0 && errno == EINTR);
  FolderLock held;
  if (result == 0) {
    held.m_fd = std::move(fd);
  }
  return held;
}

} // namespace platform
