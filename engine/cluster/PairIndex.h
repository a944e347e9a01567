#pragma once

#include "engine/cluster/PairDistance.h"

#include <cstdint>
#include <vector>

namespace lumora::Clusterer {

/// Pairs filed by distance into buckets of width 1/64, so that grouping at a new threshold
/// visits only the buckets up to that threshold and does no feature arithmetic.
struct PairIndex {
  static constexpr int kBucketCount = 129;
  static constexpr float kWidth = 1.0f / 64.0f;

  /// Bucket width: 1/64.
  float width = kWidth;
  /// Exactly 129 buckets; bucket b holds the pairs with truncate(d × 64) clamped to 0…128 equal
  /// to b, in the order of the pair list. Distances of 2.0 and more land in the last bucket.
  std::vector<std::vector<PairDistance>> buckets;
  /// The number of pairs filed.
  std::int64_t total = 0;

  /// An index with no pairs.
  PairIndex();
  /// Files `pairs` in list order.
  explicit PairIndex(const std::vector<PairDistance> &pairs);

  /// The bucket a distance belongs to; a distance that is not a number counts as 2.0.
  [[nodiscard]] static int bucketFor(float distance);
};

} // namespace lumora::Clusterer
