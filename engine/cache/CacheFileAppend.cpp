#include "engine/cache/CacheFileAppend.h"

#include "engine/diagnostics/Diagnostics.h"
#include "platform/core/files/DataFile.h"
#include "platform/core/posix/FdIo.h"

#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace lumora::cacheappend {

platform::UniqueFd openForAppend(const std::filesystem::path &file, std::string_view initial) {
  if (file.has_parent_path()) {
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (error) {
      return {};
    }
  }
  platform::datafile::Opened opened =
      platform::datafile::openOrCreate(file, O_RDWR | O_APPEND, initial);
  if (!opened.refusal.isEmpty()) {
    Diagnostics::log(QStringLiteral("scan"),
                     QStringLiteral("cache file %1 was %2; %3")
                         .arg(QFile::decodeName(file.c_str()), opened.refusal,
                              opened.fd.isValid() ? QStringLiteral("replaced by a new file")
                                                  : QStringLiteral("left in place, not written")));
  }
  errno = opened.error;
  return std::move(opened.fd);
}

bool appendAll(platform::UniqueFd fd, std::string_view bytes) {
  const bool written = platform::fdio::writeAll(fd.get(), bytes);
  return fd.close() && written;
}

void appendTombstone(const std::filesystem::path &tombstones, const std::string &id) {
  const platform::UniqueFd fd = openForAppend(tombstones, {});
  if (!fd.isValid()) {
    return;
  }
  std::string line;
  struct stat info {};
  char last = '\n';
  if (::fstat(fd.get(), &info) == 0 && info.st_size > 0 &&
      ::pread(fd.get(), &last, 1, info.st_size - 1) == 1 && last != '\n') {
    line.push_back('\n');
  }
  line += id;
  line.push_back('\n');
  (void)platform::fdio::writeAll(fd.get(), line);
}

} // namespace lumora::cacheappend
