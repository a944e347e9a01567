#include "engine/cache/HalfFloat.h"

#include <bit>
#include <cstring>

namespace lumora::halffloat {
namespace {

constexpr std::uint32_t kFloatInfinity = 0x7f800000;
// 65520 is halfway between the largest half (65504) and 65536; ties to even round it up.
constexpr std::uint32_t kFirstOverflow = 0x477ff000;
// 2^-14, the smallest normal half.
constexpr std::uint32_t kSmallestNormalHalf = 0x38800000;
constexpr std::uint16_t kHalfInfinity = 0x7c00;

using Words = std::uint32_t __attribute__((vector_size(16)));
using Floats = float __attribute__((vector_size(16)));

std::uint32_t littleEndian16(const unsigned char *bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8);
}

/// `value >> shift`, rounded to nearest with ties to even (1 ≤ shift ≤ 31).
std::uint32_t shiftRounded(std::uint32_t value, unsigned shift) {
  const std::uint32_t kept = value >> shift;
  const std::uint32_t rest = value & ((1u << shift) - 1);
  const std::uint32_t half = 1u << (shift - 1);
  return (rest > half || (rest == half && (kept & 1u) != 0)) ? kept + 1 : kept;
}

} // namespace

std::uint16_t fromFloat(float value) {
  const auto bits = std::bit_cast<std::uint32_t>(value);
  const auto sign = static_cast<std::uint16_t>((bits >> 16) & 0x8000);
  const std::uint32_t magnitude = bits & 0x7fffffff;
  if (magnitude > kFloatInfinity) {
    // Keep the top of the payload and force the quiet bit so the result stays a NaN.
    return static_cast<std::uint16_t>(sign | kHalfInfinity | 0x200 | ((magnitude >> 13) & 0x3ff));
  }
  if (magnitude >= kFirstOverflow) {
    return sign | kHalfInfinity;
  }
  if (magnitude >= kSmallestNormalHalf) {
    // Rebias the exponent (127 → 15); a mantissa carry correctly bumps the exponent.
    return static_cast<std::uint16_t>(sign | shiftRounded(magnitude - (112u << 23), 13));
  }
  // Subnormal half: count units of 2^-24. Below 2^-25 everything rounds to zero.
  const std::uint32_t exponent = magnitude >> 23;
  const unsigned shift = 126 - exponent;
  if (shift > 24) {
    return sign;
  }
  const std::uint32_t mantissa = (magnitude & 0x7fffff) | 0x800000;
  return static_cast<std::uint16_t>(sign | shiftRounded(mantissa, shift));
}

float toFloat(std::uint16_t half) {
  const std::uint32_t sign = static_cast<std::uint32_t>(half & 0x8000) << 16;
  const std::uint32_t exponent = (half >> 10) & 0x1f;
  const std::uint32_t mantissa = half & 0x3ffu;
  if (exponent == 0x1f) {
    return std::bit_cast<float>(sign | kFloatInfinity | (mantissa << 13));
  }
  if (exponent != 0) {
    return std::bit_cast<float>(sign | ((exponent + 112) << 23) | (mantissa << 13));
  }
  // Zero or subnormal: mantissa × 2^-24 is exact in single precision.
  const float magnitude = static_cast<float>(mantissa) * 0x1p-24f;
  return sign != 0 ? -magnitude : magnitude;
}

void toFloats(const unsigned char *bytes, std::size_t count, float *out) {
  std::size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const unsigned char *b = bytes + 2 * i;
    const Words half = {littleEndian16(b), littleEndian16(b + 2), littleEndian16(b + 4),
                        littleEndian16(b + 6)};
    const Words exponent = half & 0x7c00u;
    const Words mantissa = half & 0x3ffu;
    // Normal: rebias the exponent (15 → 127) in place. Subnormal or zero: mantissa × 2^-24,
    // exact in single precision without relying on denormal arithmetic. All-ones exponent
    // (infinity, NaN): the single-precision all-ones exponent, payload kept.
    const Words normal = ((half & 0x7fffu) << 13) + (112u << 23);
    const Floats tiny = __builtin_convertvector(mantissa, Floats) * 0x1p-24f;
    const Words special = (mantissa << 13) | kFloatInfinity;
    const auto isSpecial = reinterpret_cast<Words>(exponent == 0x7c00u);
    const auto isTiny = reinterpret_cast<Words>(exponent == 0u);
    const Words magnitude = (isSpecial & special) | (isTiny & reinterpret_cast<Words>(tiny)) |
                            (~(isSpecial | isTiny) & normal);
    const Words value = magnitude | ((half & 0x8000u) << 16);
    std::memcpy(out + i, &value, sizeof value);
  }
  for (; i < count; ++i) {
    out[i] = toFloat(static_cast<std::uint16_t>(littleEndian16(bytes + 2 * i)));
  }
}

} // namespace lumora::halffloat
