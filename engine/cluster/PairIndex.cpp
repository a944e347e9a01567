#include "engine/cluster/PairIndex.h"

#include "engine/util/Numeric.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lumora::Clusterer {

PairIndex::PairIndex() : buckets(kBucketCount) {}

PairIndex::PairIndex(const std::vector<PairDistance> &pairs) : PairIndex() {
  // Two passes: size every bucket first so that millions of pairs are copied without
  // reallocation.
  std::array<std::size_t, kBucketCount> sizes{};
  for (const PairDistance &pair : pairs) {
    ++sizes[static_cast<std::size_t>(bucketFor(pair.d))];
  }
  for (int b = 0; b < kBucketCount; ++b) {
    buckets[static_cast<std::size_t>(b)].reserve(sizes[static_cast<std::size_t>(b)]);
  }
  for (const PairDistance &pair : pairs) {
    buckets[static_cast<std::size_t>(bucketFor(pair.d))].push_back(pair);
  }
  total = static_cast<std::int64_t>(pairs.size());
}

int PairIndex::bucketFor(float distance) {
  const float d = std::isnan(distance) ? 2.0f : distance;
  const std::int64_t b = numeric::truncatedInt(static_cast<double>(d * 64.0f));
  return static_cast<int>(std::clamp<std::int64_t>(b, 0, kBucketCount - 1));
}

} // namespace lumora::Clusterer
