#include "engine/cluster/Clusterer.h"

#include "engine/cluster/PairBuilder.h"
#include "engine/cluster/UnionFind.h"
#include "engine/util/Numeric.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <string>

namespace lumora::Clusterer {

namespace {

/// Whether a pair joins its photos: within the threshold and naming photos of this list.
/// A distance that is not a number counts as 2.0, the distance of an unmeasurable pair.
bool joins(const PairDistance &pair, float threshold, std::size_t count) {
  const float d = std::isnan(pair.d) ? 2.0f : pair.d;
  return d <= threshold && pair.i < count && pair.j < count;
}

/// The best photo's capture date as a sort key; a date that is not a number counts as the
/// oldest, so the group order stays a strict weak ordering.
double bestDateKey(const PhotoGroup &group) {
  const double date = group.items.front().captureDate.secondsSince1970;
  return std::isnan(date) ? -std::numeric_limits<double>::infinity() : date;
}

void sortGroups(std::vector<PhotoGroup> &groups, GroupSort sort) {
  if (sort == GroupSort::date) {
    std::stable_sort(groups.begin(), groups.end(), [](const PhotoGroup &a, const PhotoGroup &b) {
      return bestDateKey(a) > bestDateKey(b);
    });
    return;
  }
  std::stable_sort(groups.begin(), groups.end(), [](const PhotoGroup &a, const PhotoGroup &b) {
    if (a.items.size() != b.items.size()) {
      return a.items.size() > b.items.size();
    }
    return bestDateKey(a) > bestDateKey(b);
  });
}

/// One pass over the positions: each joins its root's member list in ascending order; roots
/// with two or more members become groups, in ascending root order, best photo first.
std::vector<PhotoGroup> collectGroups(const std::vector<PhotoItem> &items, UnionFind &sets,
                                      GroupSort sort) {
  const std::size_t n = items.size();
  std::vector<std::uint32_t> roots(n);
  std::vector<std::size_t> starts(n + 1, 0);
  for (std::size_t x = 0; x < n; ++x) {
    roots[x] = sets.find(static_cast<std::uint32_t>(x));
    ++starts[roots[x] + 1];
  }
  std::partial_sum(starts.begin(), starts.end(), starts.begin());
  std::vector<std::size_t> members(n);
  std::vector<std::size_t> fill(starts.begin(), starts.end() - 1);
  for (std::size_t x = 0; x < n; ++x) {
    members[fill[roots[x]]++] = x;
  }
  std::vector<PhotoGroup> groups;
  for (std::size_t r = 0; r < n; ++r) {
    if (starts[r + 1] - starts[r] < 2) {
      continue;
    }
    const std::vector<std::size_t> idxs(members.begin() + static_cast<std::ptrdiff_t>(starts[r]),
                                        members.begin() +
                                            static_cast<std::ptrdiff_t>(starts[r + 1]));
    std::vector<PhotoItem> groupItems;
    groupItems.reserve(idxs.size());
    for (std::size_t position : pickBestFirst(items, idxs)) {
      groupItems.push_back(items[position]);
    }
    std::string id = groupItems.front().id;
    groups.emplace_back(std::move(id), std::move(groupItems));
  }
  sortGroups(groups, sort);
  return groups;
}

} // namespace

std::vector<PairDistance> buildPairs(const std::vector<PhotoItem> &items, double maxGap,
                                     std::int64_t maxNeighborsPerItem, std::int64_t maxPairs,
                                     unsigned threads) {
  return PairBuilder(items, maxGap, maxNeighborsPerItem, maxPairs).run(threads);
}

std::vector<PhotoGroup> groups(const std::vector<PhotoItem> &items, const PairIndex &index,
                               float threshold, GroupSort sort) {
  if (items.empty()) {
    return {};
  }
  UnionFind sets(items.size());
  // Bucket maxBucket also holds pairs slightly above the threshold, hence the test per pair.
  const std::int64_t maxBucket =
      std::clamp<std::int64_t>(numeric::truncatedInt(static_cast<double>(threshold / index.width)),
                               0, static_cast<std::int64_t>(index.buckets.size()) - 1);
  for (std::int64_t b = 0; b <= maxBucket; ++b) {
    for (const PairDistance &pair : index.buckets[static_cast<std::size_t>(b)]) {
      if (joins(pair, threshold, items.size())) {
        sets.unite(pair.i, pair.j);
      }
    }
  }
  return collectGroups(items, sets, sort);
}

std::vector<PhotoGroup> groups(const std::vector<PhotoItem> &items,
                               const std::vector<PairDistance> &pairs, float threshold,
                               GroupSort sort) {
  if (items.empty()) {
    return {};
  }
  UnionFind sets(items.size());
  for (const PairDistance &pair : pairs) {
    if (joins(pair, threshold, items.size())) {
      sets.unite(pair.i, pair.j);
    }
  }
  return collectGroups(items, sets, sort);
}

} // namespace lumora::Clusterer
