#include "engine/cache/PosixCompactionFiles.h"

#include "platform/core/posix/FdIo.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace lumora {
namespace {

Unexpected<QString> failure(const char *what, const std::filesystem::path &path) {
  return Unexpected<QString>{QStringLiteral("%1 %2: %3")
                                 .arg(QString::fromLatin1(what),
                                      QString::fromStdString(path.string()),
                                      QString::fromLocal8Bit(std::strerror(errno)))};
}

} // namespace

PosixCompactionFiles::~PosixCompactionFiles() { abandon(); }

Expected<void, QString> PosixCompactionFiles::create(const std::filesystem::path &path) {
  abandon();
  m_path = path;
  m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (m_fd < 0) {
    return failure("create", path);
  }
  return {};
}

Expected<void, QString> PosixCompactionFiles::write(std::string_view bytes) {
  if (!platform::fdio::writeAll(m_fd, bytes)) {
    return failure("write", m_path);
  }
  return {};
}

Expected<void, QString> PosixCompactionFiles::syncAndClose() {
  const bool synced = ::fsync(m_fd) == 0;
  if (!synced) {
    const int error = errno;
    abandon();
    errno = error;
    return failure("fsync", m_path);
  }
  const int fd = m_fd;
  m_fd = -1;
  // A failed close may report a delayed write error; never retry it (the descriptor is gone).
  if (::close(fd) != 0) {
    return failure("close", m_path);
  }
  return {};
}

void PosixCompactionFiles::abandon() {
  if (m_fd >= 0) {
    ::close(m_fd);
    m_fd = -1;
  }
}

Expected<void, QString> PosixCompactionFiles::rename(const std::filesystem::path &from,
                                                     const std::filesystem::path &to) {
  if (::rename(from.c_str(), to.c_str()) != 0) {
    return failure("rename", from);
  }
  return {};
}

Expected<void, QString> PosixCompactionFiles::syncFolder(const std::filesystem::path &folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    return failure("open folder", folder);
  }
  const bool synced = ::fsync(fd) == 0;
  const int error = errno;
  ::close(fd);
  if (!synced) {
    errno = error;
    return failure("fsync folder", folder);
  }
  return {};
}

void PosixCompactionFiles::remove(const std::filesystem::path &path) { ::unlink(path.c_str()); }

} // namespace lumora
