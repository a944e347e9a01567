#include "platform/core/trash/FileIdentity.h"

#include <cmath>

namespace platform {
namespace {

constexpr double kTimeTolerance = 1e-6;

double secondsOf(const struct timespec &time) {
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) * 1e-9;
}

} // namespace

FileIdentity FileIdentity::of(const struct stat &info) {
  return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                      static_cast<std::uint64_t>(info.st_ino),
                      static_cast<std::int64_t>(info.st_size), secondsOf(info.st_mtim)};
}

bool FileIdentity::matches(const struct stat &info) const {
  return S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_dev) == device &&
         static_cast<std::uint64_t>(info.st_ino) == inode &&
         static_cast<std::int64_t>(info.st_size) == size &&
         std::fabs(secondsOf(info.st_mtim) - modified) < kTimeTolerance;
}

} // namespace platform
