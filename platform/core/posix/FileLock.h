#pragma once

#include "platform/core/posix/UniqueFd.h"

#include <filesystem>

namespace platform {

/// An advisory lock (`flock`) on a lock file, held until the value goes; the operating
/// system drops it when the process ends, however it ends. The lock file is created (mode
/// 0600) when missing; a path that is not a regular file (a FIFO, a link) is never locked.
class FileLock {
public:
  /// Waits until the exclusive lock is held; not held when the file cannot be opened.
  [[nodiscard]] static FileLock acquire(const std::filesystem::path &file);
  /// The exclusive lock when no one else holds it at this moment; else not held.
  [[nodiscard]] static FileLock tryAcquire(const std::filesystem::path &file);

  [[nodiscard]] bool isHeld() const { return m_fd.isValid(); }
  /// Why the lock is not held: EWOULDBLOCK when another holder has it, else the error of
  /// opening or locking the file (EINVAL for a file that is not regular); 0 when held.
  [[nodiscard]] int error() const { return m_error; }

private:
  static FileLock lock(const std::filesystem::path &file, int operation);

  UniqueFd m_fd;
  int m_error = 0;
};

} // namespace platform
