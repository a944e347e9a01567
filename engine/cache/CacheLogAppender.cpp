#include "engine/cache/CacheLogAppender.h"

#include "engine/cache/CacheAppend.h"
#include "engine/cache/CacheFileAppend.h"
#include "engine/diagnostics/Diagnostics.h"
#include "platform/core/posix/FolderLock.h"

#include <QFile>
#include <cerrno>
#include <cstring>

namespace lumora {

void CacheLogAppender::append(std::string_view records, const std::filesystem::path &log) {
  bool appended = false;
  int error = 0;
  {
    const std::filesystem::path folder =
        log.has_parent_path() ? log.parent_path() : std::filesystem::path(".");
    const platform::FolderLock lock =
        platform::FolderLock::acquire(folder, platform::FolderLock::Mode::exclusive);
    if (platform::UniqueFd fd = cacheappend::openLog(log, m_checkedLog != log); fd.isValid()) {
      m_checkedLog = log;
      appended = cacheappend::appendAll(std::move(fd), records);
    }
    error = errno;
  }
  if (!appended && !m_failing) {
    Diagnostics::log(QStringLiteral("scan"),
                     QStringLiteral("cache append failed: %1: %2")
                         .arg(QFile::decodeName(log.filename().c_str()),
                              QString::fromLocal8Bit(std::strerror(error))));
  }
  m_failing = !appended;
}

} // namespace lumora
