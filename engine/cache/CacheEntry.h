#pragma once

#include "engine/model/Date.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lumora {

/// One photo's cached analysis together with the file facts that say whether it still holds.
struct CacheEntry {
  /// The key: the photo's id (a folder photo's file path, as native bytes).
  std::string path;
  /// The file's modification date when it was analysed.
  Date modified;
  Date captureDate;
  /// The file's size in bytes when it was analysed.
  std::int64_t fileSize = 0;
  /// Aesthetics score, −1…1.
  float score = 0;
  bool isUtility = false;
  float sharpness = 0;
  /// Feature vector; empty when it was not loaded or has been released.
  std::vector<float> feature;

  bool operator==(const CacheEntry &) const = default;
};

} // namespace lumora
