#include "platform/gui/PrivacySettings.h"

#include "engine/diagnostics/Diagnostics.h"
#include "platform/core/photolibrary/PhotoLibrary.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace platform {
namespace {

struct SettingsApp {
  const char *program;
  QStringList arguments;
};

void logPermission(const QString &message) {
  lumora::Diagnostics::log(QStringLiteral("permission"), message);
}

bool startSettingsApp() {
  // GNOME's privacy panel, KDE's settings, Xfce's settings manager; the first installed wins.
  const SettingsApp apps[] = {{"gnome-control-center", {QStringLiteral("privacy")}},
                              {"systemsettings", {}},
                              {"systemsettings5", {}},
                              {"xfce4-settings-manager", {}}};
  for (const SettingsApp &app : apps) {
    const QString path = QStandardPaths::findExecutable(QString::fromLatin1(app.program));
    if (!path.isEmpty() && QProcess::startDetached(path, app.arguments)) {
      logPermission(QStringLiteral("opened settings: ") + path);
      return true;
    }
  }
  return false;
}

} // namespace

bool openPrivacySettings(const QString &anchor, const QUrl &folder) {
  if (startSettingsApp()) {
    return true;
  }
  const QUrl place = anchor == QStringLiteral("Privacy_Photos")
                         ? QUrl::fromLocalFile(QFile::decodeName(PhotoLibrary::defaultLocation().c_str()))
                         : folder;
  if (place.isValid() && QDesktopServices::openUrl(place)) {
    logPermission(QStringLiteral("opened in file manager for ") + anchor + QStringLiteral(": ") +
                  place.toString());
    return true;
  }
  logPermission(QStringLiteral("nothing to open for ") + anchor);
  return false;
}

} // namespace platform
