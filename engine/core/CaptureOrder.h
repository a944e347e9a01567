#pragma once

#include "engine/model/PhotoItem.h"

#include <vector>

namespace lumora {

/// Sorts photos by capture date, oldest first, keeping the order of equal dates. A date that
/// is not a finite number (only a damaged cache can give one) sorts last, where the pair
/// builder puts it too; compared as it is, it would leave the list unsorted.
void sortByCaptureDate(std::vector<PhotoItem> &items);

} // namespace lumora
