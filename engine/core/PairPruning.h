#pragma once

#include "engine/cluster/Clusterer.h"
#include "engine/model/PhotoItem.h"

#include <string>
#include <unordered_set>
#include <vector>

namespace lumora {

/// Removes the photos whose ids are in `removed`, keeps the others in order, drops every
/// pair that touches a removed photo and renumbers the remaining pairs to the new
/// positions. No distance is measured again.
void prunePhotos(std::vector<PhotoItem> &items, std::vector<PairDistance> &pairs,
                 const std::unordered_set<std::string> &removed);

} // namespace lumora
