#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>

/// The `.trashinfo` entry of a trashed file: where it came from, when, and which folder it
/// left, so that a restore puts it back into that very folder.
namespace platform::trashinfo {

/// The folder a file was moved out of, as the file system knows it.
struct FolderIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  /// When the folder was made, in nanoseconds since 1970; 0 where the volume does not say.
  /// A folder removed and made again may get the old inode number, but not the old birth.
  std::int64_t birth = 0;
  /// The folder's path ended in a symbolic link to it when the file left.
  bool viaLink = false;
};

/// The entry's text: `path` (relative to `topDir` when the file lies below it), the deletion
/// time, and the folder's identity under a key other Trash readers ignore.
[[nodiscard]] std::string text(const std::string &path, const std::string &topDir,
                               const FolderIdentity &folder);

/// The identity of the open folder `fd`; `viaLink` says whether its path ended in a link.
[[nodiscard]] std::optional<FolderIdentity> identityOf(int fd, bool viaLink);

/// The original path the entry at `infoPath` records (its "Path" key, decoded): absolute, or
/// relative to the top folder of the Trash's volume. None when the entry is missing or has
/// no path.
[[nodiscard]] std::optional<std::string> recordedPath(const std::string &infoPath);

/// The folder identity recorded in the entry at `infoPath`; none for an entry without one
/// (written elsewhere or by an older version), an unreadable or a missing entry.
[[nodiscard]] std::optional<FolderIdentity> folderOf(const std::string &infoPath);

} // namespace platform::trashinfo
