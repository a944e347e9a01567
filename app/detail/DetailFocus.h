#pragma once

#include "engine/model/PhotoGroup.h"

#include <cstdint>
#include <optional>
#include <string>

/// The grid arithmetic of the group detail: how many columns a width holds and where the
/// arrow keys move the photo focus. Pure functions; any thread.
namespace lumora::detailfocus {

/// 4 columns from 1440 px, 3 from 1080 px, else 2 (both bounds inclusive).
[[nodiscard]] int columnCount(double width);
/// The index of the focused photo in the group, or none when the focus names none of them.
[[nodiscard]] std::optional<std::int64_t> focusedIndex(const PhotoGroup &group,
                                                       const std::optional<std::string> &focus);
/// The photo the focus moves to by `step` places from the focused one (from the first when
/// nothing is focused), clamped at both ends; none only for an empty group.
[[nodiscard]] std::optional<std::string>
steppedID(const PhotoGroup &group, const std::optional<std::string> &focus, std::int64_t step);

} // namespace lumora::detailfocus
