#include "engine/diagnostics/LogFile.h"

#include "platform/core/files/AtomicWrite.h"
#include "platform/core/files/DataFile.h"
#include "platform/core/posix/FdIo.h"
#include "platform/core/posix/UniqueFd.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora::logfile {
namespace {

// Reads the last kKeptBytes of a file of `size` bytes (all of it when shorter), without the
// NUL bytes no line of ours holds: a file planted as zeros (or zeros a crash left where the
// file system had not yet written) would otherwise be kept at every trim.
[[nodiscard]] bool readTail(int fd, std::int64_t size, QByteArray &tail) {
  const std::int64_t start = size > kKeptBytes ? size - kKeptBytes : 0;
  tail.resize(static_cast<qsizetype>(size - start));
  if (!platform::fdio::readAt(fd, start, tail.data(), static_cast<std::size_t>(tail.size()))) {
    return false;
  }
  tail.removeIf([](char byte) { return byte == '\0'; });
  return true;
}

[[nodiscard]] bool replaceWith(const QString &path, const QByteArray &tail,
                               const QByteArray &line) {
  return platform::atomicwrite::replace(QFile::encodeName(path).toStdString(),
                                        (tail + line).toStdString())
      .hasValue();
}

} // namespace

QString append(const QString &path, const QByteArray &line) {
  platform::datafile::Opened opened = platform::datafile::openOrCreate(
      QFile::encodeName(path).toStdString(), O_RDWR | O_APPEND, {});
  const platform::UniqueFd fd = std::move(opened.fd);
  struct stat info {};
  if (!fd.isValid() || ::fstat(fd.get(), &info) != 0) {
    return opened.refusal;
  }
  const std::int64_t size = info.st_size;
  if (size + line.size() > kMaxBytes) {
    QByteArray tail;
    if (readTail(fd.get(), size, tail) && replaceWith(path, tail, line)) {
      return opened.refusal;
    }
  }
  // One write with O_APPEND: the line lands whole at the end even beside the crash handler,
  // which appends without taking the log's lock.
  (void)platform::fdio::writeAll(
      fd.get(), std::string_view(line.constData(), static_cast<std::size_t>(line.size())));
  return opened.refusal;
}

} // namespace lumora::logfile
