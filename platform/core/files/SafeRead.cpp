#include "platform/core/files/SafeRead.h"

#include "platform/core/files/DataFile.h"

#include "platform/core/posix/FdIo.h"
#include "platform/core/posix/UniqueFd.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::saferead {
namespace {

QString errorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Reads a regular file of `size` bytes; one byte more tells a file that grew meanwhile.
Outcome readOpen(int fd, qint64 size) {
  QByteArray bytes(static_cast<qsizetype>(size + 1), Qt::Uninitialized);
  qsizetype total = 0;
  while (total < bytes.size()) {
    const long got =
        fdio::readSome(fd, bytes.data() + total, static_cast<std::size_t>(bytes.size() - total));
    if (got < 0) {
      return {std::nullopt, errorText(errno)};
    }
    if (got == 0) {
      break;
    }
    total += got;
  }
  if (total > size) {
    return {std::nullopt, QStringLiteral("changed while it was read")};
  }
  bytes.truncate(total);
  return {bytes, {}};
}

QString refusalOf(const struct stat &info, const Rules &rules) {
  if (!S_ISREG(info.st_mode)) {
    return datafile::kindOf(info.st_mode);
  }
  if (rules.requireOwnFile && info.st_uid != ::geteuid()) {
    return QStringLiteral("owned by uid %1").arg(info.st_uid);
  }
  if (info.st_size > rules.maxBytes) {
    return QStringLiteral("larger than %1 bytes").arg(rules.maxBytes);
  }
  return {};
}

} // namespace

QString refusalFor(int fd, const Rules &rules) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    return errorText(errno);
  }
  return refusalOf(info, rules);
}

Outcome read(const QString &path, const Rules &rules) {
  const QByteArray native = QFile::encodeName(path);
  // Looked at before opening, so opening cannot have a device's side effects.
  struct stat link {};
  const int statResult =
      rules.refuseSymlink ? ::lstat(native.constData(), &link) : ::stat(native.constData(), &link);
  if (statResult != 0) {
    return {std::nullopt, errno == ENOENT ? QString() : errorText(errno)};
  }
  if (!S_ISREG(link.st_mode)) {
    return {std::nullopt, datafile::kindOf(link.st_mode)};
  }
  const int noFollow = rules.refuseSymlink ? O_NOFOLLOW : 0;
  const UniqueFd fd(
      ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | noFollow));
  if (!fd.isValid()) {
    return {std::nullopt, errno == ELOOP ? datafile::kindOf(S_IFLNK) : errorText(errno)};
  }
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) {
    return {std::nullopt, errorText(errno)};
  }
  if (QString refusal = refusalOf(info, rules); !refusal.isEmpty()) {
    return {std::nullopt, refusal};
  }
  return readOpen(fd.get(), std::min<qint64>(info.st_size, rules.maxBytes));
}

} // namespace platform::saferead
