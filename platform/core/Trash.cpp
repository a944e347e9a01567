#include "platform/core/Trash.h"

#include "platform/core/posix/FdIo.h"

#include <QDateTime>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::Trash {
namespace {

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

/// Copies `from` to a new file `to` that must not exist yet (O_EXCL), flushing it.
int copyExclusive(const std::string &from, const std::string &to) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    return errno;
  }
  struct stat info {};
  ::fstat(in, &info);
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777);
  if (out < 0) {
    const int code = errno;
    ::close(in);
    return code;
  }
  char buffer[1 << 16];
  int code = 0;
  for (;;) {
    const ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      code = errno;
      break;
    }
    if (!platform::fdio::writeAll(out, std::string_view(buffer, static_cast<std::size_t>(n)))) {
      code = errno != 0 ? errno : EIO;
      break;
    }
  }
  if (code == 0 && ::fsync(out) != 0) code = errno;
  ::close(out);
  ::close(in);
  if (code != 0) ::unlink(to.c_str());
  return code;
}

/// Moves without overwriting: renameat2(RENAME_NOREPLACE), else link + unlink, else
/// (across volumes) an exclusive copy followed by removing the source.
int moveNoReplace(const std::string &from, const std::string &to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return 0;
  }
  int code = errno;
  if (code == EINVAL || code == ENOSYS || code == ENOTSUP) {
    if (::link(from.c_str(), to.c_str()) == 0) {
      ::unlink(from.c_str());
      return 0;
    }
    code = errno;
  }
  if (code == EXDEV) {
    code = copyExclusive(from, to);
    if (code == 0) {
      ::unlink(from.c_str());
    }
  }
  return code;
}

/// The user-facing text of a failed move into the Trash.
QString describe(const std::string &path, int code) {
  return QStringLiteral("无法把“%1”移到废纸篓：%2")
      .arg(QFile::decodeName(path.c_str()), QString::fromLocal8Bit(std::strerror(code)));
}

/// A Trash folder (holding "files" and "info") and, for a volume's own Trash, the volume's
/// top folder that the `.trashinfo` paths are relative to.
struct TrashDir {
  std::string root;
  std::string topDir;
};

bool isRealDir(const std::string &path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

/// Creates `root`, `root/files` and `root/info` (mode 0700) and checks they are real folders.
bool prepare(const std::string &root) {
  for (const std::string &dir : {root, root + "/files", root + "/info"}) {
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
      return false;
    }
    if (!isRealDir(dir)) {
      errno = ENOTDIR;
      return false;
    }
  }
  return true;
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

/// The home Trash when the file lives on the same volume as the data home; otherwise the
/// volume's own Trash (".Trash/$uid" in a sticky shared folder, else ".Trash-$uid"); the home
/// Trash again (a copy across volumes) when the volume has none that can be used.
TrashDir trashDirFor(const std::string &path, dev_t device) {
  const std::string home = homeTrashRoot();
  struct stat homeInfo {};
  const std::string dataHome = std::filesystem::path(home).parent_path().string();
  ::mkdir(dataHome.c_str(), 0700);
  const bool homeOk = ::stat(dataHome.c_str(), &homeInfo) == 0;
  if (homeOk && homeInfo.st_dev == device) {
    return prepare(home) ? TrashDir{home, {}} : TrashDir{};
  }
  const std::string top = topDirOf(path, device);
  const std::string uid = std::to_string(::getuid());
  struct stat shared {};
  const std::string sharedDir = top + "/.Trash";
  if (::lstat(sharedDir.c_str(), &shared) == 0 && S_ISDIR(shared.st_mode) &&
      (shared.st_mode & S_ISVTX) != 0 && prepare(sharedDir + "/" + uid)) {
    return {sharedDir + "/" + uid, top};
  }
  if (prepare(top + "/.Trash-" + uid)) {
    return {top + "/.Trash-" + uid, top};
  }
  return prepare(home) ? TrashDir{home, {}} : TrashDir{};
}

std::string trashInfoText(const TrashDir &trash, const std::string &path) {
  std::string recorded = path;
  if (!trash.topDir.empty() && recorded.rfind(trash.topDir + "/", 0) == 0) {
    recorded = recorded.substr(trash.topDir.size() + 1);
  }
  const QByteArray encoded = QByteArray::fromStdString(recorded).toPercentEncoding("/");
  const QString date = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
  return "[Trash Info]\nPath=" + encoded.toStdString() + "\nDeletionDate=" + date.toStdString() + "\n";
}

/// Claims a free name in the Trash by creating its `.trashinfo` exclusively, so that two
/// moves of equally named files never share a slot. Returns the name, or empty on failure.
std::string reserveSlot(const TrashDir &trash, const std::string &name, const std::string &path,
                        std::string &infoPath) {
  const std::string text = trashInfoText(trash, path);
  for (int attempt = 0; attempt < 10000; ++attempt) {
    const std::string slot = attempt == 0 ? name : name + "." + std::to_string(attempt);
    if (exists(trash.root + "/files/" + slot)) {
      continue;
    }
    infoPath = trash.root + "/info/" + slot + ".trashinfo";
    const int fd = ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return {};
    }
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::fsync(fd);
    ::close(fd);
    if (!written) {
      ::unlink(infoPath.c_str());
      errno = EIO;
      return {};
    }
    return slot;
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
  TrashDir trash = trashDirFor(path, source.st_dev);
  if (trash.root.empty()) {
    result.error = describe(path, EACCES);
    return result;
  }
  const std::string name = std::filesystem::path(path).filename().string();
  std::string infoPath;
  const std::string slot = reserveSlot(trash, name, path, infoPath);
  if (slot.empty()) {
    result.error = describe(path, errno != 0 ? errno : EIO);
    return result;
  }
  const std::string target = trash.root + "/files/" + slot;
  const int code = moveNoReplace(path, target);
  if (code != 0) {
    ::unlink(infoPath.c_str());
    result.error = describe(path, code);
    return result;
  }
  result.trashedPath = target;
  return result;
}

RestoreResult restore(const std::string &trashedPath, const std::string &originalPath) {
  if (!exists(trashedPath) || exists(originalPath)) {
    return {RestoreStatus::skipped, {}};
  }
  const int code = moveNoReplace(trashedPath, originalPath);
  if (code == EEXIST) {
    return {RestoreStatus::skipped, {}};
  }
  if (code != 0) {
    return {RestoreStatus::failed, errnoText("restore", code)};
  }
  const std::string info = infoPathFor(trashedPath);
  if (!info.empty()) {
    ::unlink(info.c_str());
  }
  return {RestoreStatus::restored, {}};
}

} // namespace platform::Trash
