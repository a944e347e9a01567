#include "platform/core/trash/TrashDirectory.h"

#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

/// Whether a Trash folder reached through a symbolic link is used.
enum class Links { refused, followed };

/// Makes `name` inside `parentFd` (mode 0700) when missing and opens it, only when it is a
/// folder owned by this user, and no symbolic link unless `links` allows one.
UniqueFd openOwnedFolder(int parentFd, const std::string &name, Links links = Links::refused) {
  if (::mkdirat(parentFd, name.c_str(), 0700) != 0 && errno != EEXIST) {
    return {};
  }
  const int noFollow = links == Links::followed ? 0 : O_NOFOLLOW;
  UniqueFd fd(::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | noFollow | O_CLOEXEC));
  struct stat info {};
  if (!fd.isValid() || ::fstat(fd.get(), &info) != 0) {
    return {};
  }
  if (info.st_uid != ::geteuid()) {
    errno = EACCES;
    return {};
  }
  return fd;
}

/// Opens the Trash `name` inside `parentFd` with its "files" and "info" folders.
std::optional<TrashDirectory> openTrash(int parentFd, const std::string &name,
                                        const std::string &root, const std::string &topDir,
                                        Links links = Links::refused) {
  TrashDirectory trash{root, topDir, openOwnedFolder(parentFd, name, links), {}, {}};
  if (!trash.rootFd.isValid()) {
    return std::nullopt;
  }
  trash.filesFd = openOwnedFolder(trash.rootFd.get(), "files");
  trash.infoFd = openOwnedFolder(trash.rootFd.get(), "info");
  if (!trash.filesFd.isValid() || !trash.infoFd.isValid()) {
    return std::nullopt;
  }
  return trash;
}

/// The volume's shared ".Trash/$uid", used only when ".Trash" is a real folder with the
/// sticky bit, so that no other user can swap this user's folder in it.
std::optional<TrashDirectory> sharedTrash(const std::string &top, const std::string &uid) {
  const std::string sharedPath = top + "/.Trash";
  const UniqueFd shared(
      ::open(sharedPath.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  struct stat info {};
  if (!shared.isValid() || ::fstat(shared.get(), &info) != 0 || (info.st_mode & S_ISVTX) == 0) {
    return std::nullopt;
  }
  return openTrash(shared.get(), uid, sharedPath + "/" + uid, top);
}

std::string homeTrashRoot() {
  QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return QFile::encodeName(base).toStdString() + "/Trash";
}

/// The mount point of the volume that holds `path`: the highest ancestor on `device`.
std::string topDirOf(const std::string &path, dev_t device) {
  std::filesystem::path current = std::filesystem::path(path).parent_path();
  while (current.has_parent_path() && current != current.parent_path()) {
    struct stat info {};
    if (::stat(current.parent_path().c_str(), &info) != 0 || info.st_dev != device) {
      break;
    }
    current = current.parent_path();
  }
  return current.string();
}

/// Whether the home Trash serves a file on `device`: the data home lies on that volume, or
/// the home Trash itself does (a home Trash linked to another disk).
bool homeTrashServes(const std::string &home, dev_t device) {
  const std::string dataHome = std::filesystem::path(home).parent_path().string();
  ::mkdir(dataHome.c_str(), 0700);
  struct stat info {};
  return (::stat(dataHome.c_str(), &info) == 0 && info.st_dev == device) ||
         (::stat(home.c_str(), &info) == 0 && info.st_dev == device);
}

} // namespace

std::optional<TrashDirectory> TrashDirectory::forFile(const std::string &path, dev_t device) {
  const std::string home = homeTrashRoot();
  if (!homeTrashServes(home, device)) {
    const std::string top = topDirOf(path, device);
    const std::string uid = std::to_string(::getuid());
    if (auto trash = sharedTrash(top, uid)) {
      return trash;
    }
    if (auto trash = openTrash(AT_FDCWD, top + "/.Trash-" + uid, top + "/.Trash-" + uid, top)) {
      return trash;
    }
  }
  // Only the home Trash may be a link: the user (or their desktop) put it on another disk,
  // and it must still lead to a folder of theirs. A volume's Trash folders are shared ground
  // where a link could lead anywhere.
  return openTrash(AT_FDCWD, home, home, {}, Links::followed);
}

} // namespace platform
