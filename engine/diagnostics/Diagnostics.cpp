#include "engine/diagnostics/Diagnostics.h"

#include "platform/core/AppDirectories.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <mutex>

namespace lumora::Diagnostics {

void log(const QString &category, const QString &message) {
  static std::mutex lock;
  const std::scoped_lock guard(lock);
  const QString dir = platform::appSupportDirectory();
  QDir().mkpath(dir);
  QFile file(dir + QStringLiteral("/diagnostics.log"));
  if (!file.open(QIODevice::Append)) {
    return;
  }
  const QString time = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
  file.write(QStringLiteral("[%1] [%2] %3\n").arg(time, category, message).toUtf8());
}

} // namespace lumora::Diagnostics
