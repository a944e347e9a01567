#include "engine/imaging/FileStat.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace lumora {
namespace {

FileStat fromStat(const struct stat &st) {
  FileStat result;
  result.size = static_cast<std::int64_t>(st.st_size);
  // Seconds and nanoseconds are added as doubles: a 2020s time keeps about 0.2 µs, far
  // below the millisecond the analysis cache compares with.
  result.modified = Date::fromSeconds(static_cast<double>(st.st_mtim.tv_sec) +
                                      static_cast<double>(st.st_mtim.tv_nsec) * 1e-9);
  result.isRegularFile = S_ISREG(st.st_mode);
  result.isDirectory = S_ISDIR(st.st_mode);
  result.device = static_cast<std::uint64_t>(st.st_dev);
  result.inode = static_cast<std::uint64_t>(st.st_ino);
  return result;
}

} // namespace

std::optional<FileStat> FileStat::read(const std::string &path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) {
    return std::nullopt;
  }
  return fromStat(st);
}

std::optional<FileStat> FileStat::readEntry(int directoryFd, const char *name) {
  struct stat st {};
  if (::fstatat(directoryFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
    return std::nullopt;
  }
  return fromStat(st);
}

} // namespace lumora
