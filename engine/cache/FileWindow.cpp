#include "engine/cache/FileWindow.h"

#include "engine/diagnostics/Diagnostics.h"
#include "platform/core/files/DataFile.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora {

FileWindow FileWindow::open(const std::filesystem::path &path) {
  platform::datafile::Opened opened = platform::datafile::open(path, O_RDONLY);
  if (!opened.refusal.isEmpty()) {
    Diagnostics::log(QStringLiteral("scan"),
                     QStringLiteral("cache file %1 not read: %2")
                         .arg(QFile::decodeName(path.c_str()), opened.refusal));
  }
  FileWindow window;
  struct stat info {};
  if (opened.fd.isValid() && ::fstat(opened.fd.get(), &info) == 0) {
    window.m_fd = std::move(opened.fd);
    window.m_size = static_cast<std::uint64_t>(info.st_size);
  }
  return window;
}

FileWindow FileWindow::over(std::string_view data) {
  FileWindow window;
  window.m_inMemory = true;
  window.m_buffer.assign(data);
  window.m_end = data.size();
  window.m_next = data.size();
  window.m_size = data.size();
  window.m_atEnd = true;
  return window;
}

bool FileWindow::fill(std::size_t count) {
  if (m_end - m_start >= count || m_atEnd || m_failed || !m_fd.isValid()) {
    return !m_failed;
  }
  // Keep the unread bytes at the front, then read until the window is full or the file ends.
  const std::size_t kept = m_end - m_start;
  std::memmove(m_buffer.data(), m_buffer.data() + m_start, kept);
  m_buffer.resize(std::max({kChunk, count, m_buffer.size()}));
  m_start = 0;
  m_end = kept;
  while (m_end < m_buffer.size()) {
    const ssize_t got = ::pread(m_fd.get(), m_buffer.data() + m_end, m_buffer.size() - m_end,
                                static_cast<off_t>(m_next));
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      m_atEnd = got == 0;
      m_failed = got < 0;
      break;
    }
    m_end += static_cast<std::size_t>(got);
    m_next += static_cast<std::uint64_t>(got);
  }
  return !m_failed;
}

std::string_view FileWindow::available() const {
  return std::string_view(m_buffer.data() + m_start, m_end - m_start);
}

void FileWindow::advance(std::uint64_t count) {
  const std::size_t held = m_end - m_start;
  if (count <= held) {
    m_start += static_cast<std::size_t>(count);
    return;
  }
  // Past the window: the skipped bytes are never read.
  m_next += count - held;
  m_start = m_end = 0;
  if (m_inMemory) {
    m_next = std::min(m_next, m_size);
  }
}

} // namespace lumora
