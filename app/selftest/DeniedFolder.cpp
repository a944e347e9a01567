#include "app/selftest/DeniedFolder.h"

#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora {

DeniedFolder::DeniedFolder(QString path) : m_path(std::move(path)) {
  removeLeftover();
  const QByteArray native = QFile::encodeName(m_path);
  if (::mkdir(native.constData(), 0700) != 0) {
    return; // something is still there, or the place is not ours: do not use it
  }
  platform::UniqueFd fd(
      ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!fd.isValid() || ::fchmod(fd.get(), 0) != 0) {
    fd.reset();
    ::rmdir(native.constData());
    return;
  }
  m_fd = std::move(fd);
}

DeniedFolder::~DeniedFolder() {
  if (!m_fd.isValid()) {
    return;
  }
  (void)::fchmod(m_fd.get(), 0700);
  m_fd.reset();
  // rmdir removes neither a symlink put in its place nor a folder that holds anything.
  (void)::rmdir(QFile::encodeName(m_path).constData());
}

void DeniedFolder::removeLeftover() const {
  const QByteArray native = QFile::encodeName(m_path);
  struct stat info {};
  if (::lstat(native.constData(), &info) != 0) {
    return;
  }
  if (S_ISDIR(info.st_mode)) {
    (void)::rmdir(native.constData()); // an earlier run's empty folder
  } else {
    (void)::unlink(native.constData()); // a link or file: only the name goes
  }
}

} // namespace lumora
