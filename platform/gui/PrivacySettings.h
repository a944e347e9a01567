#pragma once

#include <QString>
#include <QUrl>

namespace platform {

/// Stands in for a privacy pane of the desktop's settings. `anchor` names what access is
/// missing ("Privacy_FilesAndFolders", "Privacy_AllFiles", "Privacy_Photos", or "Security"
/// for the general pane). Linux grants file access through file permissions, so the best
/// help is the desktop's settings application where one is installed, else the place whose
/// permissions matter opened in the file manager: the photo library's folder for
/// "Privacy_Photos", `folder` for the others. GUI thread.
///
/// The platform layer keeps no log of its own: the result says what happened and the
/// caller writes it to the application's log.
struct PrivacySettingsOutcome {
  /// Something was opened.
  bool opened = false;
  /// One line for the log: what was opened, or that nothing was.
  QString report;
};
[[nodiscard]] PrivacySettingsOutcome openPrivacySettings(const QString &anchor, const QUrl &folder);

} // namespace platform
