#pragma once

#include <QString>
#include <QUrl>

namespace platform {

/// Stands in for a privacy pane of the desktop's settings. `anchor` names what access is
/// missing ("Privacy_FilesAndFolders", "Privacy_AllFiles", "Privacy_Photos", or "Security"
/// for the general pane). Linux grants file access through file permissions, so the best
/// help is the desktop's settings application where one is installed, else the place whose
/// permissions matter opened in the file manager: the photo library's folder for
/// "Privacy_Photos", `folder` for the others. Logs what it did under "permission"; true
/// when something was opened. GUI thread.
bool openPrivacySettings(const QString &anchor, const QUrl &folder);

} // namespace platform
