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
  // 2^63, exactly representable: every double below it and at or above −2^63 converts.
  constexpr double kLimit = 9223372036854775808.0;
  if (value >= kLimit)
    return std::numeric_limits<std::int64_t>::max();
  if (value < -kLimit)
    return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(value);
}

/// a + b, held at the 64-bit range's ends instead of overflowing.
[[nodiscard]] inline std::int64_t saturatingAdd(std::int64_t a, std::int64_t b) {
  std::int64_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum)) {
    return b > 0 ? std::numeric_limits<std::int64_t>::max()
                 : std::numeric_limits<std::int64_t>::min();
  }
  return sum;
}

/// A byte total grown by one file's size: a negative size (from a damaged cache) counts as
/// nothing, and the total stops at the largest value instead of overflowing.
[[nodiscard]] inline std::int64_t addBytes(std::int64_t total, std::int64_t size) {
  return saturatingAdd(total, size > 0 ? size : 0);
}

} // namespace lumora::numeric
