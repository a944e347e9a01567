#include "engine/core/CaptureOrder.h"

#include "engine/util/StableSort.h"

#include <cmath>
#include <limits>
#include <string_view>
#include <utility>

namespace lumora {

void sortByCaptureDate(std::vector<PhotoItem> &items) {
  // The id settles equal dates: photos come from the analysis workers in the order they
  // finished, and that order must not change which photos pair up or lead a group.
  ordering::stableSortByKey(items, [](const PhotoItem &item) {
    const double date = item.captureDate.secondsSince1970;
    return std::pair<double, std::string_view>(
        std::isfinite(date) ? date : std::numeric_limits<double>::infinity(), item.id);
  });
}

} // namespace lumora
