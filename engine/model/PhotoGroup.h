#pragma once

#include "engine/model/Date.h"
#include "engine/model/PhotoItem.h"
#include "engine/model/SelectionReason.h"

#include <optional>
#include <string>
#include <vector>

namespace lumora {

/// A group of similar photos, best photo first.
struct PhotoGroup {
  /// The group's identity: the best photo's id as the grouping builds it.
  std::string id;
  std::vector<PhotoItem> items;
  /// The id of `items[0]`; `id` when there are no items.
  std::string bestID;

  PhotoGroup() = default;
  PhotoGroup(std::string id, std::vector<PhotoItem> items);

  bool operator==(const PhotoGroup &) const = default;

  [[nodiscard]] std::optional<PhotoItem> best() const;
  [[nodiscard]] std::int64_t count() const { return static_cast<std::int64_t>(items.size()); }
  /// The best photo's capture date; now when empty.
  [[nodiscard]] Date date() const;
  /// Bytes a clean-up frees: the sizes of all photos but the best (negative sizes count as
  /// nothing; the total saturates instead of overflowing).
  [[nodiscard]] std::int64_t reclaimableBytes() const;
  [[nodiscard]] bool isCleanupCandidate() const { return count() > 1; }
  /// The displayed-score difference of `item` to the best photo (negative when worse).
  [[nodiscard]] double deltaFromBest(const PhotoItem &item) const;
  /// Computed on every call from the members' sharpness, score and utility flags.
  [[nodiscard]] SelectionReason bestReason() const;
};

} // namespace lumora
