#pragma once

#include "engine/cluster/PairDistance.h"
#include "engine/cluster/PairIndex.h"
#include "engine/model/GroupSort.h"
#include "engine/model/PhotoGroup.h"
#include "engine/model/PhotoItem.h"

#include <cstddef>
#include <cstdint>
#include <vector>

/// Turns analysed photos into groups of similar photos: measure candidate pairs once (photos
/// taken close together, with their feature distance), file them by distance, then join the
/// photos whose pairs lie within a threshold, as often as the threshold changes. Everything
/// here is a pure function of its arguments and safe to call from any thread.
namespace lumora::Clusterer {

/// The limits the engine measures pairs with: a 36-hour window, 384 later neighbours per
/// photo, 6,000,000 pairs in all. They keep pairing linear in the number of photos.
inline constexpr double kMaxGap = 129600.0;
inline constexpr std::int64_t kMaxNeighborsPerItem = 384;
inline constexpr std::int64_t kMaxPairs = 6'000'000;

/// Measures the candidate pairs of `items`: each photo, in capture order (oldest first, equal
/// dates in list order), with the photos after it taken at most `maxGap` seconds later, up to
/// `maxNeighborsPerItem` of them, until `maxPairs` pairs exist. The pairs come ordered by the
/// earlier photo's place in capture order, then by the later photo's place. Vectors that are
/// empty, differ in length or hold values that are not finite give a distance of 2.0.
/// Photos whose capture date is not a finite number are paired with nothing.
///
/// `threads` 0 uses every core; the result does not depend on the number of threads.
[[nodiscard]] std::vector<PairDistance> buildPairs(const std::vector<PhotoItem> &items,
                                                   double maxGap, std::int64_t maxNeighborsPerItem,
                                                   std::int64_t maxPairs, unsigned threads = 0);

/// The groups of `items` (the list the pairs were built from) whose pairs lie at most
/// `threshold` apart, joined transitively; each group best photo first, the groups ordered
/// by `sort`. Pairs naming a position outside `items` are ignored; single photos form no group.
[[nodiscard]] std::vector<PhotoGroup> groups(const std::vector<PhotoItem> &items,
                                             const PairIndex &index, float threshold,
                                             GroupSort sort);

/// The same groups from the flat pair list.
[[nodiscard]] std::vector<PhotoGroup> groups(const std::vector<PhotoItem> &items,
                                             const std::vector<PairDistance> &pairs,
                                             float threshold, GroupSort sort);

/// Orders one group's positions in `items` best first: the highest score, unless a photo
/// within half a displayed point is more than 15 % sharper; the rest by their combined score
/// and sharpness ranks, then larger file first.
[[nodiscard]] std::vector<std::size_t> pickBestFirst(const std::vector<PhotoItem> &items,
                                                     const std::vector<std::size_t> &idxs);

} // namespace lumora::Clusterer
