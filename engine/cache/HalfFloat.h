#pragma once

#include <cstddef>
#include <cstdint>

/// IEEE 754 binary16 conversions for the cache's feature vectors, which are stored at half
/// precision to halve their size on disk.
namespace lumora::halffloat {

/// The nearest binary16 value, ties to even; overflow gives infinity, NaN stays NaN.
[[nodiscard]] std::uint16_t fromFloat(float value);

/// The exact 32-bit value of a binary16 bit pattern.
[[nodiscard]] float toFloat(std::uint16_t half);

/// `toFloat` of `count` little-endian binary16 values at `bytes` (2 × count bytes), written to
/// `out`: bit for bit the same values, four at a time, without a branch per value. Loading a
/// cache converts tens of millions of them.
void toFloats(const unsigned char *bytes, std::size_t count, float *out);

} // namespace lumora::halffloat
