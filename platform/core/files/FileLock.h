#pragma once

#include "platform/core/posix/UniqueFd.h"

#include <QString>
#include <filesystem>

namespace platform {

/// An advisory lock (`flock`) on a lock file, held until the value goes; the operating
/// system drops it when the process ends, however it ends. The lock file is created (mode
/// 0600) when missing. Something else found under its name (a FIFO, a link) is never opened
/// through: it is replaced by a new, empty lock file, and `refusal` says what it was.
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
  /// What stood in place of the lock file ("a FIFO", …), replaced or, when it could not be,
  /// refused; empty when the lock file was a plain one or missing.
  [[nodiscard]] const QString &refusal() const { return m_refusal; }
  /// Whether `refusal` was replaced by a new lock file (an empty folder is; a folder holding
  /// anything is not, and the lock is then not held).
  [[nodiscard]] bool replacedRefusal() const { return m_replacedRefusal; }

private:
  static FileLock lock(const std::filesystem::path &file, int operation);

  UniqueFd m_fd;
  int m_error = 0;
  QString m_refusal;
  bool m_replacedRefusal = false;
};

} // namespace platform
