#pragma once

#include "platform/core/posix/UniqueFd.h"

#include <optional>
#include <string>
#include <sys/types.h>

namespace platform {

/// One Trash folder, checked and opened: its "files" and "info" folders are real folders
/// owned by this user. Open descriptors keep later steps in the folders that were checked.
struct TrashDirectory {
  std::string root;
  /// The volume's top folder, which `.trashinfo` paths are relative to; empty for the home
  /// Trash.
  std::string topDir;
  UniqueFd rootFd;
  UniqueFd filesFd;
  UniqueFd infoFd;

  /// The Trash for a file at `path` on `device`: the home Trash when the data home or the
  /// home Trash lies on the same volume; else the volume's ".Trash/$uid" inside a sticky, real
  /// ".Trash" folder, else its ".Trash-$uid"; each only when it is a real folder owned by this user
  /// (made with mode 0700 when missing), so that no Trash another user prepared ever receives the
  /// file. Else the home Trash (a copy across volumes), which may be a symbolic link to a folder
  /// owned by this user. None when no Trash can be used.
  [[nodiscard]] static std::optional<TrashDirectory> forFile(const std::string &path, dev_t device);
};

} // namespace platform
