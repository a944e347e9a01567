#include "platform/gui/PrivacySettings.h"

#include "platform/core/photolibrary/PhotoLibrary.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <optional>

namespace platform {
namespace {

struct SettingsApp {
  const char *program;
  QStringList arguments;
};

// The settings application that was started, or nothing when none is installed or starts.
std::optional<QString> startSettingsApp() {
  // GNOME's privacy panel, KDE's settings, Xfce's settings manager; the first installed wins.
  const SettingsApp apps[] = {{"gnome-control-center", {QStringLiteral("privacy")}},
                              {"systemsettings", {}},
                              {"systemsettings5", {}},
                              {"xfce4-settings-manager", {}}};
  for (const SettingsApp &app : apps) {
    const QString path = QStandardPaths::findExecutable(QString::fromLatin1(app.program));
    if (!path.isEmpty() && QProcess::startDetached(path, app.arguments)) {
      return path;
    }
  }
  return std::nullopt;
}

} // namespace

PrivacySettingsOutcome openPrivacySettings(const QString &anchor, const QUrl &folder) {
  if (const auto settings = startSettingsApp()) {
    return {true, QStringLiteral("opened settings: ") + *settings};
  }
  const QUrl place =
      anchor == QStringLiteral("Privacy_Photos")
          ? QUrl::fromLocalFile(QFile::decodeName(PhotoLibrary::defaultLocation().c_str()))
          : folder;
  if (place.isValid() && QDesktopServices::openUrl(place)) {
    return {true, QStringLiteral("opened in file manager for ") + anchor + QStringLiteral(": ") +
                      place.toString()};
  }
  return {false, QStringLiteral("nothing to open for ") + anchor};
}

} // namespace platform
