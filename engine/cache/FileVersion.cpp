#include "engine/cache/FileVersion.h"

#include <cmath>

namespace lumora {

bool FileVersion::isDescribedBy(const CacheEntry &entry) const {
  if (fileSize && entry.fileSize != *fileSize) {
    return false;
  }
  return std::abs(entry.modified.secondsSince1970 - modified.secondsSince1970) < kSameDateTolerance;
}

} // namespace lumora
