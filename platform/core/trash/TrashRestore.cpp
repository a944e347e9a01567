// Moving a trashed file back: only the file that left, only to the place it left, only into
// the folder it left, and never over another file.
#include "platform/core/trash/Trash.h"

#include "platform/core/trash/TrashInfo.h"
#include "platform/core/trash/TrashMove.h"
#include "platform/core/trash/TrashSource.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::trash {
namespace {

using trashinfo::FolderIdentity;
namespace fs = std::filesystem;

bool exists(const std::string &path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

/// The `.trashinfo` file that belongs to a file under ".../Trash/files/".
std::string infoPathFor(const fs::path &trashed) {
  const fs::path filesDir = trashed.parent_path();
  if (filesDir.filename() != "files") {
    return {};
  }
  return (filesDir.parent_path() / "info" / (trashed.filename().string() + ".trashinfo")).string();
}

/// Whether the path an entry records names `originalPath`. A relative path is relative to
/// the top folder of the volume whose ".Trash-$uid" or ".Trash/$uid" holds the entry.
bool recordsOriginal(const std::string &recorded, const std::string &originalPath,
                     const fs::path &trashed) {
  if (!recorded.empty() && recorded.front() == '/') {
    return recorded == originalPath;
  }
  const fs::path root = trashed.parent_path().parent_path();
  fs::path top;
  if (root.filename().string().rfind(".Trash-", 0) == 0) {
    top = root.parent_path();
  } else if (root.parent_path().filename() == ".Trash") {
    top = root.parent_path().parent_path();
  } else {
    return false;
  }
  return (top / recorded).string() == originalPath;
}

/// The Trash copy `copy` is the file that left `originalPath`: its entry says it came from
/// there and, when its identity is known, it still is that file. An entry that lost its info
/// file is taken back only on a known identity.
bool isTheTrashedFile(const fs::path &trashed, const std::string &originalPath,
                      const struct stat &copy, const std::optional<FileIdentity> &identity) {
  if (identity && !identity->matches(copy)) {
    return false;
  }
  const std::string info = infoPathFor(trashed);
  const auto recorded = info.empty() ? std::nullopt : trashinfo::recordedPath(info);
  if (!recorded) {
    return identity.has_value();
  }
  return recordsOriginal(*recorded, originalPath, trashed);
}

/// Opens the folder `originalPath` lies in, only when it is the folder the file left: the
/// device, inode and birth time recorded at the move, reached through a symbolic link only when its
/// path ended in one then. Without a record (an entry another program wrote) the folder must at
/// least be no symbolic link. So a link or folder swapped in since never receives the file.
UniqueFd openOriginalFolder(const std::string &originalPath,
                            const std::optional<FolderIdentity> &recorded) {
  const std::string folder = trashsource::folderPathOf(originalPath);
  const int follow = recorded && recorded->viaLink ? 0 : O_NOFOLLOW;
  UniqueFd fd(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC | follow));
  if (!fd.isValid() || !recorded) {
    return fd;
  }
  const auto now = trashinfo::identityOf(fd.get(), recorded->viaLink);
  if (!now || now->device != recorded->device || now->inode != recorded->inode ||
      now->birth != recorded->birth) {
    errno = ENOENT;
    return {};
  }
  return fd;
}

RestoreResult folderFailure(int code) {
  const bool replaced = code == ENOENT || code == ENOTDIR || code == ELOOP;
  return {RestoreStatus::failed,
          replaced ? Problem{Problem::Kind::folderReplaced} : Problem{Problem::Kind::system, code}};
}

} // namespace

RestoreResult restore(const std::string &trashedPath, const std::string &originalPath,
                      const std::optional<FileIdentity> &trashed) {
  const fs::path entry(trashedPath);
  const std::string slot = entry.filename().string();
  const UniqueFd files(::open(entry.parent_path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  struct stat copy {};
  if (!files.isValid() || ::fstatat(files.get(), slot.c_str(), &copy, AT_SYMLINK_NOFOLLOW) != 0 ||
      exists(originalPath) || !isTheTrashedFile(entry, originalPath, copy, trashed)) {
    return {RestoreStatus::skipped, {}};
  }
  const std::string info = infoPathFor(entry);
  const UniqueFd folder =
      openOriginalFolder(originalPath, info.empty() ? std::nullopt : trashinfo::folderOf(info));
  if (!folder.isValid()) {
    return folderFailure(errno);
  }
  const std::string name = fs::path(originalPath).filename().string();
  const auto moved =
      trashmove::moveChecked({files.get(), slot}, {folder.get(), name}, folder.get(), copy);
  if (moved.status == trashmove::Status::failed && moved.code != EEXIST) {
    return {RestoreStatus::failed, Problem{Problem::Kind::system, moved.code}};
  }
  if (moved.status != trashmove::Status::moved) {
    return {RestoreStatus::skipped, {}};
  }
  if (!info.empty()) {
    ::unlink(info.c_str());
  }
  return {RestoreStatus::restored, {}};
}

} // namespace platform::trash
