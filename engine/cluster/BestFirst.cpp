#include "engine/cluster/Clusterer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace lumora::Clusterer {

namespace {

/// A score or sharpness as a sort key: a value that is not a number ranks lowest, so that the
/// sorts below stay strict weak orderings.
float rankKey(float value) {
  return std::isnan(value) ? -std::numeric_limits<float>::infinity() : value;
}

/// The slots 0…m−1 ordered by `value(slot)`, highest first, equal values in slot order.
template <typename Value> std::vector<std::size_t> slotsByDescending(std::size_t m, Value value) {
  std::vector<std::size_t> order(m);
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return rankKey(value(a)) > rankKey(value(b));
  });
  return order;
}

/// Whether the sharpest photo replaces the highest-scored one: its displayed score is at most
/// half a point lower and it is more than 15 % sharper. A best photo at sharpness 1.0 or below
/// has no meaningful sharpness to compare with.
bool prefersSharper(const PhotoItem &best, const PhotoItem &sharpest) {
  if (!(best.sharpness > 1.0f)) {
    return false;
  }
  const double displayedGap = static_cast<double>(best.score - sharpest.score) * 5.0;
  const float sharpGain = (sharpest.sharpness - best.sharpness) / best.sharpness;
  return displayedGap <= 0.5 && sharpGain > 0.15f;
}

} // namespace

std::vector<std::size_t> pickBestFirst(const std::vector<PhotoItem> &items,
                                       const std::vector<std::size_t> &idxs) {
  const std::size_t m = idxs.size();
  if (m < 2) {
    return idxs;
  }
  const std::vector<std::size_t> byScore =
      slotsByDescending(m, [&](std::size_t slot) { return items[idxs[slot]].score; });
  const std::vector<std::size_t> bySharp =
      slotsByDescending(m, [&](std::size_t slot) { return items[idxs[slot]].sharpness; });
  std::size_t best = byScore[0];
  if (bySharp[0] != best && prefersSharper(items[idxs[best]], items[idxs[bySharp[0]]])) {
    best = bySharp[0];
  }
  // The combined rank 0.6 × score rank + 0.4 × sharpness rank, with rank = 1 − place ÷ (m − 1),
  // equals 1 − (3 × score place + 2 × sharpness place) ÷ (5 × (m − 1)). Ordering by that exact
  // integer instead of the floating value makes ties exact, so the order below is a strict weak
  // ordering (comparing floats within a tolerance is not transitive).
  std::vector<std::uint64_t> rankKeys(m, 0);
  for (std::size_t place = 0; place < m; ++place) {
    rankKeys[byScore[place]] += 3 * place;
    rankKeys[bySharp[place]] += 2 * place;
  }
  std::vector<std::size_t> rest;
  rest.reserve(m - 1);
  for (std::size_t slot = 0; slot < m; ++slot) {
    if (slot != best) {
      rest.push_back(slot);
    }
  }
  std::stable_sort(rest.begin(), rest.end(), [&](std::size_t a, std::size_t b) {
    if (rankKeys[a] != rankKeys[b]) {
      return rankKeys[a] < rankKeys[b];
    }
    return items[idxs[a]].fileSize > items[idxs[b]].fileSize;
  });
  std::vector<std::size_t> ordered{idxs[best]};
  for (std::size_t slot : rest) {
    ordered.push_back(idxs[slot]);
  }
  return ordered;
}

} // namespace lumora::Clusterer
