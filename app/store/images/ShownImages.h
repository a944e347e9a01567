#pragma once

#include "app/store/images/Thumbnail.h"
#include "engine/model/Date.h"
#include "engine/model/PhotoItem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace lumora {

/// The images an image cache handed out, remembered without being kept: as long as a view
/// still holds one (a card on screen, a card kept for reuse), the same photo at the same
/// size is found here again even after the cache let go of it or was emptied, so a view
/// built anew over it never waits for, or shows an empty place instead of, pixels that are
/// on screen already. An image counts as the same photo's only while the file is the one it
/// was made from (same size and modification date).
///
/// Not thread-safe: the owning loader uses it on its own (GUI) thread only.
class ShownImages {
public:
  /// Remembers `image` as `item`'s at `maxPixel`.
  void note(const PhotoItem &item, int maxPixel, const ThumbnailPtr &image);
  /// The image of `item` at `maxPixel` that someone still holds, or null.
  [[nodiscard]] ThumbnailPtr find(const PhotoItem &item, int maxPixel);
  /// The smallest image of `item` larger than `maxPixel` that someone still holds, or null:
  /// it shows the same photo, scaled down, until the asked size is there.
  [[nodiscard]] ThumbnailPtr larger(const PhotoItem &item, int maxPixel);

private:
  struct Entry {
    int maxPixel = 0;
    std::int64_t fileSize = 0;
    Date modified;
    std::weak_ptr<const Thumbnail> image;
  };

  /// Forgets the entries nobody holds any more, once they could outnumber the held ones.
  void sweep();

  std::unordered_map<std::string, std::vector<Entry>> m_byPhoto;
  std::size_t m_notedSinceSweep = 0;
};

} // namespace lumora
