#include "engine/cache/FileBytes.h"

namespace lumora {
namespace {

QString qtPath(const std::filesystem::path &path) { return QFile::decodeName(path.c_str()); }

} // namespace

FileBytes FileBytes::mapped(const std::filesystem::path &path) {
  FileBytes bytes;
  bytes.m_file = std::make_unique<QFile>(qtPath(path));
  if (!bytes.m_file->open(QIODevice::ReadOnly)) {
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
  QFile file(qtPath(path));
  if (file.open(QIODevice::ReadOnly)) {
    bytes.m_bytes = file.readAll();
    bytes.m_complete = file.error() == QFileDevice::NoError;
    bytes.m_view =
        std::string_view(bytes.m_bytes.constData(), static_cast<std::size_t>(bytes.m_bytes.size()));
  }
  return bytes;
}

} // namespace lumora
