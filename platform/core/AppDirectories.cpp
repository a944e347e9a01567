#include "platform/core/AppDirectories.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <sys/stat.h>

namespace platform {

QString appSupportDirectory() {
  QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (base.isEmpty()) {
    base = QDir::tempPath();
  }
  return base + QStringLiteral("/Lumora");
}

bool makeAppSupportDirectory() {
  const QString folder = appSupportDirectory();
  if (QFileInfo(folder).isDir()) {
    return true;
  }
  QDir().mkpath(QFileInfo(folder).path());
  // mkdir applies the umask too, which can only take more away from 0700.
  (void)::mkdir(QFile::encodeName(folder).constData(), 0700);
  return QFileInfo(folder).isDir();
}

} // namespace platform
