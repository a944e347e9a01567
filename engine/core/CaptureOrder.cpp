#include "engine/core/CaptureOrder.h"

#include "engine/util/StableSort.h"

#include <cmath>
#include <limits>

namespace lumora {

void sortByCaptureDate(std::vector<PhotoItem> &items) {
  ordering::stableSortByKey(items, [](const PhotoItem &item) {
    const double date = item.captureDate.secondsSince1970;
    return std::isfinite(date) ? date : std::numeric_limits<double>::infinity();
  });
}

} // namespace lumora
