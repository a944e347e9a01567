#pragma once

#include <QString>
#include <optional>
#include <string>

/// The freedesktop.org Trash: moving files in and restoring them without ever
/// overwriting a file. Paths are native byte strings. Safe to call from any thread.
namespace platform::trash {

/// The outcome of one move into the Trash.
struct MoveResult {
  /// Where the Trash put the file; empty when the move failed.
  std::string trashedPath;
  /// Why the move failed; empty on success.
  QString error;
  [[nodiscard]] bool ok() const { return error.isEmpty(); }
};

/// Moves `path` into the Trash of its volume (or the home Trash), recording its
/// `.trashinfo` entry. Only Trash folders owned by this user are used; across volumes the
/// file is copied with its mode and times and appears in the Trash only once complete.
[[nodiscard]] MoveResult moveToTrash(const std::string &path);

enum class RestoreStatus {
  restored,
  /// The Trash copy is gone or the original path is taken: nothing was touched.
  skipped,
  failed,
};

struct RestoreResult {
  RestoreStatus status = RestoreStatus::skipped;
  QString error;
};

/// Moves a trashed file back to `originalPath` only when the Trash copy exists and the
/// original path is free; never overwrites. Removes the matching `.trashinfo` entry. Fails,
/// touching nothing, when the folder at the original path is no longer the folder the file
/// left (removed and made again, or replaced by a symbolic link).
[[nodiscard]] RestoreResult restore(const std::string &trashedPath,
                                    const std::string &originalPath);

} // namespace platform::trash
