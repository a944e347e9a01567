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
  m_fd.reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (!m_fd.isValid()) {
    return failure("create", path);
  }
  return {};
}

Expected<void, QString> PosixCompactionFiles::write(std::string_view bytes) {
  if (!platform::fdio::writeAll(m_fd.get(), bytes)) {
    return failure("write", m_path);
  }
  return {};
}

Expected<void, QString> PosixCompactionFiles::syncAndClose() {
  const bool synced = ::fsync(m_fd.get()) == 0;
  if (!synced) {
    const int error = errno;
    abandon();
    errno = error;
    return failure("fsync", m_path);
  }
  // A failed close may report a delayed write error.
  if (!m_fd.close()) {
    return failure("close", m_path);
  }
  return {};
}

void PosixCompactionFiles::abandon() { m_fd.reset(); }

Expected<void, QString> PosixCompactionFiles::rename(const std::filesystem::path &from,
                                                     const std::filesystem::path &to) {
  if (::rename(from.c_str(), to.c_str()) != 0) {
    return failure("rename", from);
  }
  return {};
}

Expected<void, QString> PosixCompactionFiles::syncFolder(const std::filesystem::path &folder) {
  const platform::UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.isValid()) {
    return failure("open folder", folder);
  }
  if (::fsync(fd.get()) != 0) {
    return failure("fsync folder", folder);
  }
  return {};
}

void PosixCompactionFiles::remove(const std::filesystem::path &path) { ::unlink(path.c_str()); }

} // namespace lumora
