#pragma once

#include "platform/core/posix/UniqueFd.h"

#include <filesystem>

namespace platform {

/// An advisory lock (`flock`) on a folder, held until the value goes. Processes and
/// threads that take it on the same folder exclude each other; each acquisition opens the
/// folder anew, so two holders in one process exclude each other too.
class FolderLock {
public:
  enum class Mode { shared, exclusive };

  /// Waits until the lock is held; not held when the folder cannot be opened or locked
  /// (errno tells why).
  [[nodiscard]] static FolderLock acquire(const std::filesystem::path &folder, Mode mode);
  /// The exclusive lock when no one else holds the lock at this moment; else not held.
  [[nodiscard]] static FolderLock tryExclusive(const std::filesystem::path &folder);

  [[nodiscard]] bool isHeld() const { return m_fd.isValid(); }

private:
  static FolderLock lock(const std::filesystem::path &folder, int operation);

  UniqueFd m_fd;
};

} // namespace platform
