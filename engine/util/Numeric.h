#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace lumora::numeric {

/// Truncates toward zero like a plain cast, but maps NaN to 0 and clamps values outside
/// the 64-bit range instead of invoking undefined behaviour (cache files can hold anything).
[[nodiscard]] inline std::int64_t truncatedInt(double value) {
  if (std::isnan(value)) {
    return 0;
  }
  constexpr double kLimit = 9.2e18;
  if (value >= kLimit) return std::numeric_limits<std::int64_t>::max();
  if (value <= -kLimit) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(value);
}

} // namespace lumora::numeric
