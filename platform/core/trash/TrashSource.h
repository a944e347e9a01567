#pragma once

#include "platform/core/posix/UniqueFd.h"
#include "platform/core/trash/TrashInfo.h"

#include <optional>
#include <string>
#include <sys/stat.h>

/// The file a move into the Trash starts from, held by its open folder so that every later
/// step works on the entry that was looked at.
namespace platform::trashsource {

/// The folder that holds a file, opened, with its identity.
struct Folder {
  UniqueFd fd;
  trashinfo::FolderIdentity identity;
};

struct Source {
  Folder folder;
  /// The file's name inside `folder`.
  std::string name;
  /// The entry itself; a symbolic link is described, never followed.
  struct stat info {};
};

/// The folder that holds `path` ("." for a bare name).
[[nodiscard]] std::string folderPathOf(const std::string &path);

/// Opens the folder of `path` and looks at its last component without following a link.
/// With `followFolders` false no link is followed on the way to the folder either (a scan
/// names its photos by paths without links): a link met on the way fails with ELOOP. None
/// when a step fails; errno says why (ENOENT or ENOTDIR: nothing is there any more).
[[nodiscard]] std::optional<Source> open(const std::string &path, bool followFolders);

} // namespace platform::trashsource
