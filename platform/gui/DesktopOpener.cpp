#include "platform/gui/DesktopOpener.h"

#include "platform/core/photolibrary/PhotoLibrary.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <filesystem>

namespace platform {
namespace {

Opener *g_override = nullptr;

constexpr char kFileManagerService[] = "org.freedesktop.FileManager1";
constexpr char kFileManagerPath[] = "/org/freedesktop/FileManager1";

// Hands a URI to the desktop's launcher. The URI is plain ASCII, so it passes through a
// process argument without any byte of the path being re-encoded on the way.
void launchUri(const QByteArray &uri) {
  const QString text = QString::fromLatin1(uri);
  const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (!xdgOpen.isEmpty() && QProcess::startDetached(xdgOpen, {text})) {
    return;
  }
  const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
  if (!gio.isEmpty() && QProcess::startDetached(gio, {QStringLiteral("open"), text})) {
    return;
  }
  QDesktopServices::openUrl(QUrl::fromEncoded(uri));
}

void openFolder(const std::filesystem::path &folder) { launchUri(fileUri(folder.string())); }

} // namespace

QByteArray fileUri(const std::string &path) {
  const QByteArray bytes(path.data(), static_cast<qsizetype>(path.size()));
  return QByteArrayLiteral("file://") + bytes.toPercentEncoding("/");
}

void DesktopOpener::revealFile(const std::string &path) {
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    openFolder(folder);
    return;
  }
  QDBusMessage call = QDBusMessage::createMethodCall(
      QString::fromLatin1(kFileManagerService), QString::fromLatin1(kFileManagerPath),
      QString::fromLatin1(kFileManagerService), QStringLiteral("ShowItems"));
  call << QStringList{QString::fromLatin1(fileUri(path))} << QString();
  // Asynchronous, so a file manager that is slow to start never blocks the window; without
  // one on the bus the folder opens instead.
  auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                   [folder](QDBusPendingCallWatcher *finished) {
                     if (finished->isError()) {
                       openFolder(folder);
                     }
                     finished->deleteLater();
                   });
}

void DesktopOpener::openFile(const std::string &path) { launchUri(fileUri(path)); }

void DesktopOpener::openLibraryFolder() { openFolder(PhotoLibrary::defaultLocation()); }

Opener &opener() {
  static DesktopOpener desktop;
  return g_override ? *g_override : desktop;
}

void setOpenerOverride(Opener *replacement) { g_override = replacement; }

} // namespace platform
