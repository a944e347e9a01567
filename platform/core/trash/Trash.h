#pragma once

#include "platform/core/trash/FileIdentity.h"

#include <optional>
#include <string>
#include <vector>

/// The freedesktop.org Trash: moving files in and restoring them without ever
/// overwriting a file. Paths are native byte strings. Safe to call from any thread.
namespace platform::trash {

/// Why a move into the Trash or a restore did not happen, as a status and the system's error
/// number; the application puts it into words for the user.
struct Problem {
  enum class Kind {
    none,
    /// No Trash folder this user may use was found.
    noTrash,
    /// The file at the path is not the one that was scanned, so it stays where it is.
    changed,
    /// The folder the file left is gone, or was replaced by another folder or a link.
    folderReplaced,
    /// A system call failed with `code`.
    system,
  };
  Kind kind = Kind::none;
  /// The errno of a `system` problem.
  int code = 0;
  bool operator==(const Problem &) const = default;
};

enum class MoveStatus {
  moved,
  /// Nothing is at the path any more (the file or its folder is gone, and stays gone when
  /// looked at again, or, with `GoneCheck::byCaller`, at the first look): nothing to move.
  missing,
  /// The file at the path is not the one expected, or the path could not be followed
  /// without a link: it was left where it is.
  changed,
  /// The file expected did not move: another file took its name during the move and could
  /// not be put back, as the name was taken again. That other file lies in the Trash at
  /// `trashedPath` with its `.trashinfo` entry, so that it can be restored.
  displaced,
  failed,
};

/// Who makes sure that a path found empty stays so.
enum class GoneCheck {
  /// The move looks again over a short while before it answers `missing`.
  looks,
  /// The move answers `missing` at once; the caller asks `staysGone` for all such paths
  /// together, so that a batch costs the short while once, not once per path.
  byCaller,
};

/// A path a move found empty, and whether links on the way to it are followed (as for a
/// move without an expected file).
struct GonePath {
  std::string path;
  bool followFolders = false;
};

/// For each path, whether its name stays missing from a folder that is there at every look
/// over a short while. A missing folder, or one that is a link or a file for a moment, says
/// nothing about the photo (it may be moved aside and back), so only a name missing from its
/// own folder counts. All paths are looked at in the same rounds.
[[nodiscard]] std::vector<bool> staysGone(const std::vector<GonePath> &paths);

/// The outcome of one move into the Trash.
struct MoveResult {
  MoveStatus status = MoveStatus::failed;
  /// Where the Trash put the file; empty unless moved or displaced.
  std::string trashedPath;
  /// Why the file did not move; none when moved or displaced.
  Problem problem;
  /// The file as it now lies in the Trash; set when moved or displaced.
  std::optional<FileIdentity> trashed;
  [[nodiscard]] bool ok() const { return status == MoveStatus::moved; }
};

/// Moves `path` into the Trash of its volume (or the home Trash), recording its
/// `.trashinfo` entry. With `expected`, only when the path names that very file (no link
/// followed on the way): another file under that name is reported `changed` and stays.
/// Only Trash folders owned by this user are used; across volumes the file is copied from
/// the file checked, with its mode and times, appears in the Trash only once complete, and
/// leaves its folder only when its name still refers to it; a file saved under the name
/// meanwhile stays whole.
[[nodiscard]] MoveResult moveToTrash(const std::string &path,
                                     const std::optional<FileIdentity> &expected = std::nullopt,
                                     GoneCheck check = GoneCheck::looks);

/// Moves the regular file at `path` (a leftover of an interrupted move, under a name of our
/// own) into the Trash as `moveToTrash` does, its entry naming `recorded` as the place it
/// came from, so that it can be restored there.
[[nodiscard]] MoveResult moveToTrashAs(const std::string &path, const std::string &recorded);

enum class RestoreStatus {
  restored,
  /// The Trash copy is gone, is not the file that was trashed, or the original path is
  /// taken: nothing was touched.
  skipped,
  failed,
};

struct RestoreResult {
  RestoreStatus status = RestoreStatus::skipped;
  /// Why a failed restore failed.
  Problem problem;
};

/// Moves a trashed file back to `originalPath` only when the Trash copy is the file that
/// was moved there from `originalPath`, and the original path is free; never overwrites.
/// The entry's `.trashinfo` must name `originalPath` and, with `trashed`, the Trash copy
/// must still have that identity; without an info entry only a known identity admits the
/// copy. Removes the `.trashinfo` entry. Fails, touching nothing, when the folder at the
/// original path is no longer the folder the file left (removed and made again, or
/// replaced by a symbolic link).
[[nodiscard]] RestoreResult restore(const std::string &trashedPath, const std::string &originalPath,
                                    const std::optional<FileIdentity> &trashed = std::nullopt);

} // namespace platform::trash
