#pragma once

#include <QUrl>
#include <optional>

/// Remembers the folder the user picked (its path and a `FolderBookmark`) in the user
/// settings, finds it again at the next launch, and tracks the one folder in use.
/// Linux has no per-folder access grant: access is whatever the file permissions allow,
/// so holding access is plain bookkeeping and starting it never fails. GUI thread only.
namespace lumora::FolderAccess {

/// Settings key of the bookmark blob.
inline constexpr char kBookmarkKey[] = "Lumora.folderBookmark";
/// Settings key of the folder's path (the store writes it on every folder scan too).
inline constexpr char kLastFolderPathKey[] = "Lumora.lastFolderPath";

/// At launch: the remembered folder, now in use, or none when nothing is remembered or the
/// bookmark no longer resolves to a directory (logged; the stored values are kept so the
/// caller can decide). A bookmark of a folder that was replaced at the same path is
/// refreshed before use.
[[nodiscard]] std::optional<QUrl> resolveAndAccess();
/// After the user picked `folder`: remembers it, puts it in use and returns it.
QUrl beginAccess(const QUrl &folder);
/// Writes the path (always, first) and a fresh bookmark; when no bookmark can be made the
/// failure is logged and the previous bookmark stays.
void store(const QUrl &folder);
/// Releases the folder in use and forgets the remembered one.
void clear();
/// The folder currently in use, if any.
[[nodiscard]] std::optional<QUrl> activeFolder();

} // namespace lumora::FolderAccess
