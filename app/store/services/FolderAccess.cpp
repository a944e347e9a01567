#include "app/store/services/FolderAccess.h"

#include "app/store/services/FolderBookmark.h"
#include "engine/diagnostics/Diagnostics.h"

#include <QSettings>

namespace lumora::FolderAccess {
namespace {

std::optional<QUrl> &activeSlot() {
  static std::optional<QUrl> active;
  return active;
}

QSettings settings() { return QSettings(QStringLiteral("Lumora"), QStringLiteral("Pindle")); }

QString settingsKey(const char *key) { return QString::fromLatin1(key); }

void logFolder(const QString &message) { Diagnostics::log(QStringLiteral("folder"), message); }

// Nothing to start or stop on Linux; the folder simply becomes the one in use.
void activate(const QUrl &folder) { activeSlot() = folder; }

} // namespace

std::optional<QUrl> resolveAndAccess() {
  const QVariant blob = settings().value(settingsKey(kBookmarkKey));
  if (!blob.isValid()) {
    return std::nullopt;
  }
  const auto resolved = FolderBookmark::resolve(blob.toByteArray());
  if (!resolved) {
    logFolder(QStringLiteral("bookmark resolve failed"));
    return std::nullopt;
  }
  const QUrl folder = QUrl::fromLocalFile(resolved->path);
  if (resolved->stale) {
    store(folder);
  }
  activate(folder);
  return folder;
}

QUrl beginAccess(const QUrl &folder) {
  store(folder);
  activate(folder);
  return folder;
}

void store(const QUrl &folder) {
  QSettings defaults = settings();
  const QString path = folder.toLocalFile();
  defaults.setValue(settingsKey(kLastFolderPathKey), path);
  const auto blob = FolderBookmark::create(path);
  if (!blob) {
    logFolder(QStringLiteral("bookmark store failed: ") + blob.error());
    return;
  }
  defaults.setValue(settingsKey(kBookmarkKey), *blob);
}

void clear() {
  activeSlot().reset();
  QSettings defaults = settings();
  defaults.remove(settingsKey(kBookmarkKey));
  defaults.remove(settingsKey(kLastFolderPathKey));
}

std::optional<QUrl> activeFolder() { return activeSlot(); }

} // namespace lumora::FolderAccess
