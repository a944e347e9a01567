#include "platform/core/Trash.h"

#include "platform/core/TrashDirectory.h"
#include "platform/core/TrashInfo.h"
#include "platform/core/TrashMove.h"
#include "platform/core/TrashOrphans.h"
#include "platform/core/posix/FdIo.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::trash {
namespace {

using trashinfo::FolderIdentity;
using trashmove::Place;

QString errnoText(const char *what, int code) {
  return QStringLiteral("%1: %2").arg(QString::fromUtf8(what),
                                      QString::fromLocal8Bit(std::strerror(code)));
}

bool exists(const std::string &path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

/// The `.trashinfo` file that belongs to a file under ".../Trash/files/".
std::string infoPathFor(const std::string &trashedPath) {
  const std::filesystem::path trashed(trashedPath);
  const std::filesystem::path filesDir = trashed.parent_path();
  if (filesDir.filename() != "files") {
    return {};
  }
  return (filesDir.parent_path() / "info" / (trashed.filename().string() + ".trashinfo")).string();
}

/// The user-facing text of a failed move into the Trash.
QString describe(const std::string &path, int code) {
  return QStringLiteral("无法把“%1”移到废纸篓：%2")
      .arg(QFile::decodeName(path.c_str()), QString::fromLocal8Bit(std::strerror(code)));
}

/// The folder that holds `path` ("." for a bare name).
std::string folderOf(const std::string &path) {
  const std::string folder = std::filesystem::path(path).parent_path().string();
  return folder.empty() ? std::string(".") : folder;
}

/// The folder that holds `path`, opened, with its identity.
struct SourceFolder {
  UniqueFd fd;
  FolderIdentity identity;
};

std::optional<SourceFolder> openSourceFolder(const std::string &path) {
  const std::string folder = folderOf(path);
  UniqueFd fd(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  struct stat link {};
  if (!fd.isValid() || ::lstat(folder.c_str(), &link) != 0) {
    return std::nullopt;
  }
  const auto identity = trashinfo::identityOf(fd.get(), S_ISLNK(link.st_mode));
  if (!identity) {
    return std::nullopt;
  }
  return SourceFolder{std::move(fd), *identity};
}

/// A claimed name in the Trash: its `.trashinfo` entry, kept open and locked while the file
/// moves in, so that a clean-up never takes a live move's entry for a leftover.
struct Slot {
  std::string name;
  UniqueFd infoFd;
};

/// Claims a free name in the Trash by creating its `.trashinfo` exclusively, so that two
/// moves of equally named files never share a slot. Empty name on failure (errno says why).
Slot reserveSlot(const TrashDirectory &trash, const std::string &name, const std::string &text) {
  for (int attempt = 0; attempt < 10000; ++attempt) {
    const std::string slot = attempt == 0 ? name : name + "." + std::to_string(attempt);
    struct stat taken {};
    if (::fstatat(trash.filesFd.get(), slot.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0) {
      continue;
    }
    const std::string info = slot + ".trashinfo";
    UniqueFd fd(::openat(trash.infoFd.get(), info.c_str(),
                         O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd.isValid()) {
      if (errno == EEXIST)
        continue;
      return {};
    }
    ::flock(fd.get(), LOCK_EX | LOCK_NB);
    if (!platform::fdio::writeAll(fd.get(), text) || ::fsync(fd.get()) != 0) {
      const int code = errno != 0 ? errno : EIO;
      ::unlinkat(trash.infoFd.get(), info.c_str(), 0);
      errno = code;
      return {};
    }
    return {slot, std::move(fd)};
  }
  errno = EEXIST;
  return {};
}

} // namespace

MoveResult moveToTrash(const std::string &path) {
  MoveResult result;
  struct stat source {};
  if (::lstat(path.c_str(), &source) != 0) {
    result.error = describe(path, errno);
    return result;
  }
  const auto trash = TrashDirectory::forFile(path, source.st_dev);
  if (!trash) {
    result.error = describe(path, EACCES);
    return result;
  }
  trashorphans::removeLeftoversOccasionally(*trash);
  const auto folder = openSourceFolder(path);
  if (!folder) {
    result.error = describe(path, errno != 0 ? errno : EIO);
    return result;
  }
  const std::string name = std::filesystem::path(path).filename().string();
  const Slot slot =
      reserveSlot(*trash, name, trashinfo::text(path, trash->topDir, folder->identity));
  if (slot.name.empty()) {
    result.error = describe(path, errno != 0 ? errno : EIO);
    return result;
  }
  const int code = trashmove::moveNoReplace({folder->fd.get(), name},
                                            {trash->filesFd.get(), slot.name}, trash->rootFd.get());
  if (code != 0) {
    ::unlinkat(trash->infoFd.get(), (slot.name + ".trashinfo").c_str(), 0);
    result.error = describe(path, code);
    return result;
  }
  result.trashedPath = trash->root + "/files/" + slot.name;
  return result;
}

namespace {

/// Opens the folder `originalPath` lies in, only when it is the folder the file left: the
/// device, inode and birth time recorded at the move, reached through a symbolic link only when its
/// path ended in one then. Without a record (an entry another program wrote) the folder must at
/// least be no symbolic link. So a link or folder swapped in since never receives the file.
UniqueFd openOriginalFolder(const std::string &originalPath,
                            const std::optional<FolderIdentity> &recorded) {
  const std::string folder = folderOf(originalPath);
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

} // namespace

RestoreResult restore(const std::string &trashedPath, const std::string &originalPath) {
  if (!exists(trashedPath) || exists(originalPath)) {
    return {RestoreStatus::skipped, {}};
  }
  const std::string info = infoPathFor(trashedPath);
  const UniqueFd folder =
      openOriginalFolder(originalPath, info.empty() ? std::nullopt : trashinfo::folderOf(info));
  if (!folder.isValid()) {
    return {RestoreStatus::failed, errnoText("restore", errno)};
  }
  const std::string name = std::filesystem::path(originalPath).filename().string();
  const int code =
      trashmove::moveNoReplace({AT_FDCWD, trashedPath}, {folder.get(), name}, folder.get());
  if (code == EEXIST) {
    return {RestoreStatus::skipped, {}};
  }
  if (code != 0) {
    return {RestoreStatus::failed, errnoText("restore", code)};
  }
  if (!info.empty()) {
    ::unlink(info.c_str());
  }
  return {RestoreStatus::restored, {}};
}

} // namespace platform::trash
