#pragma once

#include "engine/model/PhotoItem.h"

#include <vector>

namespace lumora {

/// Sorts photos by capture date, oldest first, equal dates by id, so that the order never
/// depends on the order the photos came in. A date that is not a finite number (only a
/// damaged cache can give one) sorts last, where the pair builder puts it too; compared as
/// it is, it would leave the list unsorted.
void sortByCaptureDate(std::vector<PhotoItem> &items);

} // namespace lumora
