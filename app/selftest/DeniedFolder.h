#pragma once

#include "platform/core/posix/UniqueFd.h"

#include <QString>

namespace lumora {

/// A folder nobody may read, made in a shared place such as /tmp for one check and removed
/// afterwards. The path is fixed and the place world-writable, so nothing found there is
/// trusted: a leftover is removed without following links (a symlink is unlinked, never
/// its target emptied), the folder counts only when this process made it, and its modes
/// change through a descriptor opened without following links.
class DeniedFolder {
public:
  /// Removes a leftover at `path`, makes the folder and takes every permission away.
  explicit DeniedFolder(QString path);
  /// Gives the owner the folder back and removes it (only an empty directory is removed).
  ~DeniedFolder();
  DeniedFolder(const DeniedFolder &) = delete;
  DeniedFolder &operator=(const DeniedFolder &) = delete;

  /// True when the folder was made here and is now mode 000.
  [[nodiscard]] bool isReady() const { return m_fd.isValid(); }
  [[nodiscard]] const QString &path() const { return m_path; }

private:
  void removeLeftover() const;

  QString m_path;
  platform::UniqueFd m_fd;
};

} // namespace lumora
