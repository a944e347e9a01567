#include "engine/core/PairPruning.h"

#include <cstdint>
#include <limits>

namespace lumora {

void prunePhotos(std::vector<PhotoItem> &items, std::vector<PairDistance> &pairs,
                 const std::unordered_set<std::string> &removed) {
  constexpr auto kGone = std::numeric_limits<std::uint32_t>::max();
  std::vector<std::uint32_t> newPosition(items.size(), kGone);
  std::vector<PhotoItem> kept;
  kept.reserve(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!removed.contains(items[i].id)) {
      newPosition[i] = static_cast<std::uint32_t>(kept.size());
      kept.push_back(std::move(items[i]));
    }
  }
  items = std::move(kept);
  std::erase_if(pairs, [&](PairDistance &pair) {
    if (pair.i >= newPosition.size() || pair.j >= newPosition.size()) {
      return true;
    }
    const std::uint32_t i = newPosition[pair.i];
    const std::uint32_t j = newPosition[pair.j];
    if (i == kGone || j == kGone) {
      return true;
    }
    pair.i = i;
    pair.j = j;
    return false;
  });
}

} // namespace lumora
