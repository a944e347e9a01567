#pragma once

#include "engine/cache/CacheEntry.h"
#include "engine/model/Date.h"

#include <cstdint>
#include <optional>

namespace lumora {

/// Which version of a photo a cache entry has to describe to stand for it: the modification
/// date and, where it tells versions apart, the size. A folder file compares both; a library
/// asset has no size of its own, so only its date counts.
struct FileVersion {
  /// Two modification dates closer than this many seconds name the same version: the dates
  /// go through the cache files as doubles and may come back a rounding step apart.
  static constexpr double kSameDateTolerance = 0.001;

  Date modified;
  /// The size in bytes; none when sizes play no part.
  std::optional<std::int64_t> fileSize;

  /// The version a cache entry was made from, size included.
  [[nodiscard]] static FileVersion of(const CacheEntry &entry) {
    return FileVersion{entry.modified, entry.fileSize};
  }

  /// Whether `entry` was made from this version: the dates lie within `kSameDateTolerance`
  /// and, when this version has a size, the sizes are equal. The one rule by which scans,
  /// returned vectors and compaction decide that a cached analysis still holds.
  [[nodiscard]] bool isDescribedBy(const CacheEntry &entry) const;
};

} // namespace lumora
