#include "engine/cache/FileBytes.h"

#include "engine/diagnostics/Diagnostics.h"
#include "platform/core/files/DataFile.h"
#include "platform/core/posix/UniqueFd.h"

#include <fcntl.h>

namespace lumora {
namespace {

/// Opens a regular file without blocking and without following a link: a FIFO, device or
/// link planted under a cache name is refused (logged) instead of hanging the engine on its
/// open or read, or reading another file. Null when missing.
std::unique_ptr<QFile> openRegular(const std::filesystem::path &path) {
  platform::datafile::Opened opened = platform::datafile::open(path, O_RDONLY);
  if (!opened.refusal.isEmpty()) {
    Diagnostics::log(QStringLiteral("scan"),
                     QStringLiteral("cache file %1 not read: %2")
                         .arg(QFile::decodeName(path.c_str()), opened.refusal));
  }
  platform::UniqueFd fd = std::move(opened.fd);
  if (!fd.isValid()) {
    return nullptr;
  }
  auto file = std::make_unique<QFile>();
  if (!file->open(fd.get(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    return nullptr;
  }
  (void)fd.release();
  return file;
}

} // namespace

FileBytes FileBytes::mapped(const std::filesystem::path &path) {
  FileBytes bytes;
  bytes.m_file = openRegular(path);
  if (!bytes.m_file) {
    return {};
  }
  const qint64 size = bytes.m_file->size();
  if (size > 0) {
    if (uchar *data = bytes.m_file->map(0, size)) {
      bytes.m_view =
          std::string_view(reinterpret_cast<const char *>(data), static_cast<std::size_t>(size));
      bytes.m_complete = true;
      return bytes;
    }
  }
  bytes.m_bytes = bytes.m_file->readAll();
  bytes.m_complete = bytes.m_file->error() == QFileDevice::NoError;
  bytes.m_file.reset();
  bytes.m_view =
      std::string_view(bytes.m_bytes.constData(), static_cast<std::size_t>(bytes.m_bytes.size()));
  return bytes;
}

FileBytes FileBytes::read(const std::filesystem::path &path) {
  FileBytes bytes;
  if (const std::unique_ptr<QFile> file = openRegular(path)) {
    bytes.m_bytes = file->readAll();
    bytes.m_complete = file->error() == QFileDevice::NoError;
    bytes.m_view =
        std::string_view(bytes.m_bytes.constData(), static_cast<std::size_t>(bytes.m_bytes.size()));
  }
  return bytes;
}

} // namespace lumora
