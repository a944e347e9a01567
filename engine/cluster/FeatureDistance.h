#pragma once

#include <cmath>
#include <cstddef>
#include <cstring>

/// The inner loop of pairing: dot products of feature vectors in 32-bit floats, and the
/// distance of two unit vectors from their dot product.
///
/// Every dot product sums in one fixed order (two 4-lane partial sums over steps of eight
/// values, then the lanes, then the remaining values one by one), whether it is computed alone
/// or in a block of four. A pair's distance therefore never depends on how the work was cut or
/// which thread measured it. The 4-lane vectors are plain GCC/Clang vector types: they compile
/// to SSE on any x86-64 and stay in registers without special compiler flags.
namespace lumora::featuredistance {

/// The distance of two photos whose distance cannot be measured.
inline constexpr float kUnmeasured = 2.0f;
/// Rows measured against one column at a time by `dotFour`.
inline constexpr std::size_t kBlock = 4;

using Lanes = float __attribute__((vector_size(16)));

inline Lanes loadLanes(const float *values) {
  Lanes lanes;
  std::memcpy(&lanes, values, sizeof lanes);
  return lanes;
}

/// Adds the lanes of both partial sums, then the values from `k` on.
inline float finishDot(Lanes s0, Lanes s1, const float *a, const float *b, std::size_t k,
                       std::size_t length) {
  const Lanes s = s0 + s1;
  float sum = (s[0] + s[1]) + (s[2] + s[3]);
  for (; k < length; ++k) {
    sum += a[k] * b[k];
  }
  return sum;
}

[[nodiscard]] inline float dot(const float *a, const float *b, std::size_t length) {
  Lanes s0{}, s1{};
  std::size_t k = 0;
  for (; k + 8 <= length; k += 8) {
    s0 += loadLanes(a + k) * loadLanes(b + k);
    s1 += loadLanes(a + k + 4) * loadLanes(b + k + 4);
  }
  return finishDot(s0, s1, a, b, k, length);
}

/// The dot products of four consecutive rows (`rows`, `rows + length`, …) with `column`, each
/// bit for bit equal to `dot`. Reading the column once for four rows quarters the memory
/// traffic of the inner loop, which otherwise streams each neighbour from the L2 cache.
inline void dotFour(const float *rows, const float *column, std::size_t length, float out[4]) {
  const float *r0 = rows;
  const float *r1 = rows + length;
  const float *r2 = rows + 2 * length;
  const float *r3 = rows + 3 * length;
  Lanes a0{}, a1{}, b0{}, b1{}, c0{}, c1{}, d0{}, d1{};
  std::size_t k = 0;
  for (; k + 8 <= length; k += 8) {
    const Lanes lo = loadLanes(column + k);
    const Lanes hi = loadLanes(column + k + 4);
    a0 += loadLanes(r0 + k) * lo;
    a1 += loadLanes(r0 + k + 4) * hi;
    b0 += loadLanes(r1 + k) * lo;
    b1 += loadLanes(r1 + k + 4) * hi;
    c0 += loadLanes(r2 + k) * lo;
    c1 += loadLanes(r2 + k + 4) * hi;
    d0 += loadLanes(r3 + k) * lo;
    d1 += loadLanes(r3 + k + 4) * hi;
  }
  out[0] = finishDot(a0, a1, r0, column, k, length);
  out[1] = finishDot(b0, b1, r1, column, k, length);
  out[2] = finishDot(c0, c1, r2, column, k, length);
  out[3] = finishDot(d0, d1, r3, column, k, length);
}

/// Euclidean distance of two unit vectors from their dot product. A vector holding a value
/// that is not finite has no measurable distance: it must come out as 2.0, never as 0, which
/// would join the photo with everything taken around it.
[[nodiscard]] inline float distanceFromDot(float product) {
  if (!std::isfinite(product)) {
    return kUnmeasured;
  }
  const float x = 2.0f - 2.0f * product;
  if (x < 0) {
    return 0; // rounding can lift the dot of near-identical unit vectors above 1
  }
  return std::isfinite(x) ? std::sqrt(x) : kUnmeasured;
}

} // namespace lumora::featuredistance
