#pragma once

#include <cstdint>

/// IEEE 754 binary16 conversions for the cache's feature vectors, which are stored at half
/// precision to halve their size on disk.
namespace lumora::halffloat {

/// The nearest binary16 value, ties to even; overflow gives infinity, NaN stays NaN.
[[nodiscard]] std::uint16_t fromFloat(float value);

/// The exact 32-bit value of a binary16 bit pattern.
[[nodiscard]] float toFloat(std::uint16_t half);

} // namespace lumora::halffloat
