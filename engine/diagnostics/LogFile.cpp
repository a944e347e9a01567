#include "engine/diagnostics/LogFile.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora::logfile {
namespace {

/// Owns one open file descriptor.
class UniqueFd {
public:
  explicit UniqueFd(int fd) : m_fd(fd) {}
  ~UniqueFd() {
    if (m_fd >= 0) {
      ::close(m_fd);
    }
  }
  UniqueFd(const UniqueFd &) = delete;
  UniqueFd &operator=(const UniqueFd &) = delete;

  [[nodiscard]] int get() const { return m_fd; }
  [[nodiscard]] bool isValid() const { return m_fd >= 0; }

private:
  int m_fd;
};

void writeAll(int fd, const QByteArray &bytes) {
  const char *data = bytes.constData();
  auto left = static_cast<std::size_t>(bytes.size());
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      return;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
}

// Reads the last kKeptBytes of a file of `size` bytes (all of it when shorter).
[[nodiscard]] bool readTail(int fd, std::int64_t size, QByteArray &tail) {
  const std::int64_t start = size > kKeptBytes ? size - kKeptBytes : 0;
  tail.resize(static_cast<qsizetype>(size - start));
  qsizetype filled = 0;
  while (filled < tail.size()) {
    const ssize_t got =
        ::pread(fd, tail.data() + filled, static_cast<std::size_t>(tail.size() - filled),
                static_cast<off_t>(start + filled));
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      return false;
    }
    filled += got;
  }
  return true;
}

[[nodiscard]] bool replaceWith(const QString &path, const QByteArray &tail,
                               const QByteArray &line) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    return false;
  }
  file.write(tail);
  file.write(line);
  return file.commit();
}

} // namespace

void append(const QString &path, const QByteArray &line) {
  const QByteArray native = QFile::encodeName(path);
  const UniqueFd fd(::open(native.constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
  if (!fd.isValid()) {
    return;
  }
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) {
    return;
  }
  const std::int64_t size = info.st_size;
  if (size + line.size() > kMaxBytes) {
    QByteArray tail;
    if (readTail(fd.get(), size, tail) && replaceWith(path, tail, line)) {
      return;
    }
  }
  // One write with O_APPEND: the line lands whole at the end even beside the crash handler,
  // which appends without taking the log's lock.
  writeAll(fd.get(), line);
}

} // namespace lumora::logfile
