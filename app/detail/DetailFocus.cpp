#include "app/detail/DetailFocus.h"

#include <algorithm>

namespace lumora::detailfocus {

int columnCount(double width) {
  if (width >= 1440) {
    return 4;
  }
  return width >= 1080 ? 3 : 2;
}

std::optional<std::int64_t> focusedIndex(const PhotoGroup &group,
                                         const std::optional<std::string> &focus) {
  if (!focus) {
    return std::nullopt;
  }
  const auto found = std::find_if(group.items.begin(), group.items.end(),
                                  [&focus](const PhotoItem &item) { return item.id == *focus; });
  if (found == group.items.end()) {
    return std::nullopt;
  }
  return found - group.items.begin();
}

std::optional<std::string> steppedID(const PhotoGroup &group,
                                     const std::optional<std::string> &focus, std::int64_t step) {
  if (group.items.empty()) {
    return std::nullopt;
  }
  const std::int64_t current = focusedIndex(group, focus).value_or(0);
  const std::int64_t last = group.count() - 1;
  // Clamp the step first, so that no sum can overflow whatever the caller passes.
  const std::int64_t target = current + std::clamp(step, -current, last - current);
  return group.items[static_cast<std::size_t>(target)].id;
}

} // namespace lumora::detailfocus
