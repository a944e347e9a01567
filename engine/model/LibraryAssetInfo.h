#pragma once

#include "engine/model/Date.h"

#include <string>

namespace lumora {

/// One still image of the photo library as listed by a fetch.
struct LibraryAssetInfo {
  std::string localIdentifier;
  /// The asset's modification date, or `created` when it has none.
  Date modified;
  /// The asset's creation date, or 1970-01-01 when it has none.
  Date created;
  bool isScreenshot = false;
  bool isFavorite = false;

  bool operator==(const LibraryAssetInfo &) const = default;
};

} // namespace lumora
