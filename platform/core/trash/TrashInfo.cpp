#include "platform/core/trash/TrashInfo.h"

#include "platform/core/files/SafeRead.h"

#include <QFile>

#include <QByteArray>
#include <QDateTime>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <vector>

namespace platform::trashinfo {
namespace {

constexpr const char *kPathKey = "Path=";
constexpr const char *kFolderKey = "X-Pindle-Folder=";
constexpr const char *kLinkSuffix = ":link";

/// An entry holds a percent-encoded path of at most 4096 bytes and two short lines.
constexpr qint64 kMaxInfoBytes = 64 * 1024;

/// The lines of the entry at `infoPath`, read as the application's own files are: only a
/// regular file of this user, never through a link, never waiting on a FIFO, never a
/// larger file than an entry can be. Empty when it is not such a file.
std::vector<std::string> linesOf(const std::string &infoPath) {
  const auto read = saferead::read(QFile::decodeName(infoPath.c_str()),
                                   saferead::Rules{kMaxInfoBytes, true, true});
  std::vector<std::string> lines;
  if (read.bytes) {
    for (const QByteArray &line : read.bytes->split('\n')) {
      lines.push_back(line.toStdString());
    }
  }
  return lines;
}

} // namespace

std::optional<FolderIdentity> identityOf(int fd, bool viaLink) {
  struct statx info {};
  if (::statx(fd, "", AT_EMPTY_PATH, STATX_INO | STATX_BTIME, &info) != 0) {
    return std::nullopt;
  }
  const std::int64_t birth =
      (info.stx_mask & STATX_BTIME) != 0
          ? static_cast<std::int64_t>(info.stx_btime.tv_sec) * 1000000000 + info.stx_btime.tv_nsec
          : 0;
  return FolderIdentity{::makedev(info.stx_dev_major, info.stx_dev_minor),
                        static_cast<ino_t>(info.stx_ino), birth, viaLink};
}

std::string text(const std::string &path, const std::string &topDir, const FolderIdentity &folder) {
  std::string recorded = path;
  if (!topDir.empty() && recorded.rfind(topDir + "/", 0) == 0) {
    recorded = recorded.substr(topDir.size() + 1);
  }
  const QByteArray encoded = QByteArray::fromStdString(recorded).toPercentEncoding("/");
  const QString date = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
  return std::string("[Trash Info]\n") + kPathKey + encoded.toStdString() +
         "\nDeletionDate=" + date.toStdString() + "\n" + kFolderKey +
         std::to_string(folder.device) + ":" + std::to_string(folder.inode) + ":" +
         std::to_string(folder.birth) + (folder.viaLink ? kLinkSuffix : "") + "\n";
}

std::optional<std::string> recordedPath(const std::string &infoPath) {
  for (const std::string &line : linesOf(infoPath)) {
    if (line.rfind(kPathKey, 0) == 0) {
      const QByteArray encoded = QByteArray::fromStdString(line.substr(std::strlen(kPathKey)));
      return QByteArray::fromPercentEncoding(encoded).toStdString();
    }
  }
  return std::nullopt;
}

std::optional<FolderIdentity> folderOf(const std::string &infoPath) {
  for (const std::string &line : linesOf(infoPath)) {
    if (line.rfind(kFolderKey, 0) != 0) {
      continue;
    }
    std::uintmax_t device = 0;
    std::uintmax_t inode = 0;
    std::intmax_t birth = 0;
    char rest[8] = {};
    const int got =
        std::sscanf(line.c_str() + std::char_traits<char>::length(kFolderKey),
                    "%" SCNuMAX ":%" SCNuMAX ":%" SCNdMAX "%7s", &device, &inode, &birth, rest);
    if (got < 3) {
      return std::nullopt;
    }
    return FolderIdentity{static_cast<dev_t>(device), static_cast<ino_t>(inode),
                          static_cast<std::int64_t>(birth),
                          got == 4 && std::string(rest) == kLinkSuffix};
  }
  return std::nullopt;
}

} // namespace platform::trashinfo
