#include "platform/core/AppDirectories.h"

#include <QDir>
#include <QStandardPaths>

namespace platform {

QString appSupportDirectory() {
  QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (base.isEmpty()) {
    base = QDir::tempPath();
  }
  return base + QStringLiteral("/Lumora");
}

} // namespace platform
