#include "app/store/services/FolderBookmark.h"

#include <QDataStream>
#include <QFile>
#include <QIODevice>
#include <cerrno>
#include <sys/stat.h>
#include <system_error>

namespace lumora {
namespace {

constexpr quint32 kMagic = 0x504e424d; // "PNBM"
constexpr quint8 kVersion = 1;

struct Identity {
  quint64 device = 0;
  quint64 inode = 0;
};

// The identity of the directory at `nativePath` (symbolic links followed).
Expected<Identity, QString> directoryIdentity(const QByteArray &nativePath) {
  struct stat info {};
  if (::stat(nativePath.constData(), &info) != 0) {
    return Unexpected{QString::fromStdString(std::generic_category().message(errno))};
  }
  if (!S_ISDIR(info.st_mode)) {
    return Unexpected{QStringLiteral("Not a directory")};
  }
  return Identity{static_cast<quint64>(info.st_dev), static_cast<quint64>(info.st_ino)};
}

} // namespace

Expected<QByteArray, QString> FolderBookmark::create(const QString &path) {
  const QByteArray nativePath = QFile::encodeName(path);
  if (nativePath.isEmpty()) {
    return Unexpected{QStringLiteral("Empty folder path")};
  }
  const auto identity = directoryIdentity(nativePath);
  if (!identity) {
    return Unexpected{identity.error()};
  }
  QByteArray blob;
  QDataStream out(&blob, QIODevice::WriteOnly);
  out.setVersion(QDataStream::Qt_6_0);
  out << kMagic << kVersion << nativePath << identity->device << identity->inode;
  return blob;
}

Expected<FolderBookmark::Resolution, QString> FolderBookmark::resolve(const QByteArray &blob) {
  QDataStream in(blob);
  in.setVersion(QDataStream::Qt_6_0);
  const auto damaged = [] { return Unexpected{QStringLiteral("Damaged folder bookmark")}; };
  quint32 magic = 0;
  quint8 version = 0;
  in >> magic >> version;
  if (in.status() != QDataStream::Ok || magic != kMagic || version != kVersion) {
    return damaged();
  }
  QByteArray nativePath;
  Identity stored;
  in >> nativePath >> stored.device >> stored.inode;
  if (in.status() != QDataStream::Ok || !in.atEnd() || nativePath.isEmpty() ||
      nativePath.contains('\0')) {
    return damaged();
  }
  const auto current = directoryIdentity(nativePath);
  if (!current) {
    return Unexpected{current.error()};
  }
  const bool stale = current->device != stored.device || current->inode != stored.inode;
  return Resolution{QFile::decodeName(nativePath), stale};
}

} // namespace lumora
