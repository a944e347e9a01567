#include "engine/analysis/Resampler.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

// SSE2, present on every x86-64, widens bytes to floats eight at a time. Elsewhere, or built
// with PINDLE_NO_SIMD, the same rows are scaled one value at a time in portable code: each
// value is the same single multiplication and addition, so the output is bit for bit the same.
#if defined(__SSE2__) && !defined(PINDLE_NO_SIMD)
#define LUMORA_RESAMPLER_SSE2 1
#include <emmintrin.h>
#else
#define LUMORA_RESAMPLER_SSE2 0
#endif

namespace lumora::resampler {

namespace {

/// The source taps of every output position along one axis.
struct Taps {
  std::vector<int> first;
  std::vector<int> count;
  std::vector<float> weights; // `maxTaps` per output, unused ones zero
  int maxTaps = 0;
};

Taps makeTaps(int start, int inSize, int outSize) {
  Taps taps;
  const double scale = static_cast<double>(inSize) / outSize;
  const double radius = std::max(1.0, scale);
  taps.maxTaps = static_cast<int>(std::ceil(2 * radius)) + 1;
  taps.first.resize(outSize);
  taps.count.resize(outSize);
  taps.weights.assign(static_cast<std::size_t>(outSize) * taps.maxTaps, 0.0f);
  for (int i = 0; i < outSize; ++i) {
    const double centre = (i + 0.5) * scale - 0.5;
    const int lo = std::max(0, static_cast<int>(std::floor(centre - radius)) + 1);
    const int hi = std::min(inSize - 1, static_cast<int>(std::ceil(centre + radius)) - 1);
    float *w = &taps.weights[static_cast<std::size_t>(i) * taps.maxTaps];
    double total = 0;
    int n = 0;
    for (int j = lo; j <= hi && n < taps.maxTaps; ++j, ++n) {
      const double weight = std::max(0.0, 1.0 - std::abs(j - centre) / radius);
      w[n] = static_cast<float>(weight);
      total += weight;
    }
    if (n == 0 || total <= 0) {
      // Enlarging past the last pixel: clamp to the nearest edge pixel.
      taps.first[i] = start + std::clamp(static_cast<int>(std::lround(centre)), 0, inSize - 1);
      taps.count[i] = 1;
      w[0] = 1.0f;
      continue;
    }
    for (int k = 0; k < n; ++k) {
      w[k] = static_cast<float>(w[k] / total);
    }
    taps.first[i] = start + lo;
    taps.count[i] = n;
  }
  return taps;
}

} // namespace

namespace {

#if LUMORA_RESAMPLER_SSE2
using Lanes = float __attribute__((vector_size(16)));

/// Samples x … x + 7 of `src` as two sets of four floats (exactly their values).
inline void loadEight(const float *src, Lanes &lo, Lanes &hi) {
  std::memcpy(&lo, src, sizeof lo);
  std::memcpy(&hi, src + 4, sizeof hi);
}

inline void loadEight(const std::uint8_t *src, Lanes &lo, Lanes &hi) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i words =
      _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(src)), zero);
  const __m128 a = _mm_cvtepi32_ps(_mm_unpacklo_epi16(words, zero));
  const __m128 b = _mm_cvtepi32_ps(_mm_unpackhi_epi16(words, zero));
  std::memcpy(&lo, &a, sizeof lo);
  std::memcpy(&hi, &b, sizeof hi);
}

/// dst[x … x + 7] (+)= weight × src[x … x + 7] in vector registers; the index past them.
template <bool Accumulate, typename Sample>
std::size_t scaleEights(float *dst, const Sample *src, float weight, std::size_t n) {
  std::size_t x = 0;
  for (; x + 8 <= n; x += 8) {
    Lanes lo, hi;
    loadEight(src + x, lo, hi);
    lo *= weight;
    hi *= weight;
    if constexpr (Accumulate) {
      Lanes dlo, dhi;
      loadEight(dst + x, dlo, dhi);
      lo = dlo + lo;
      hi = dhi + hi;
    }
    std::memcpy(dst + x, &lo, sizeof lo);
    std::memcpy(dst + x + 4, &hi, sizeof hi);
  }
  return x;
}
#else
/// The portable build scales every value in the loop below.
template <bool Accumulate, typename Sample>
std::size_t scaleEights(float *, const Sample *, float, std::size_t) {
  return 0;
}
#endif

/// dst[x] (+)= weight × src[x] for a whole row, eight values at a time in vector registers
/// where the build has them, the rest one by one. Each value is one multiplication and at
/// most one addition, exactly as one at a time.
template <bool Accumulate, typename Sample>
void scaleRow(float *dst, const Sample *src, float weight, std::size_t n) {
  for (std::size_t x = scaleEights<Accumulate>(dst, src, weight, n); x < n; ++x) {
    const float v = weight * static_cast<float>(src[x]);
    dst[x] = Accumulate ? dst[x] + v : v;
  }
}

template <typename Sample>
std::vector<float> resampleAny(const std::vector<Sample> &plane, int planeWidth, Region region,
                               int outWidth, int outHeight) {
  const Taps across = makeTaps(region.x, region.width, outWidth);
  const Taps down = makeTaps(region.y, region.height, outHeight);
  const std::size_t rw = static_cast<std::size_t>(region.width);

  // Vertical pass first: whole rows weighted and added, which vectorises, and it leaves
  // fewer rows for the horizontal pass when the image shrinks.
  // Every element is written by the first tap before it is added to: no zeroing needed.
  const auto columns =
      std::make_unique_for_overwrite<float[]>(static_cast<std::size_t>(outHeight) * rw);
  for (int i = 0; i < outHeight; ++i) {
    float *dst = &columns[static_cast<std::size_t>(i) * rw];
    const float *w = &down.weights[static_cast<std::size_t>(i) * down.maxTaps];
    for (int k = 0; k < down.count[i]; ++k) {
      const Sample *src =
          &plane[static_cast<std::size_t>(down.first[i] + k) * planeWidth + region.x];
      if (k == 0) {
        scaleRow<false>(dst, src, w[k], rw);
      } else {
        scaleRow<true>(dst, src, w[k], rw);
      }
    }
  }

  std::vector<float> out(static_cast<std::size_t>(outWidth) * static_cast<std::size_t>(outHeight));
  for (int y = 0; y < outHeight; ++y) {
    const float *src = &columns[static_cast<std::size_t>(y) * rw];
    float *dst = &out[static_cast<std::size_t>(y) * static_cast<std::size_t>(outWidth)];
    for (int i = 0; i < outWidth; ++i) {
      const float *w = &across.weights[static_cast<std::size_t>(i) * across.maxTaps];
      const float *s = src + (across.first[i] - region.x);
      float sum = 0;
      for (int k = 0; k < across.count[i]; ++k) {
        sum += w[k] * s[k];
      }
      dst[i] = sum;
    }
  }
  return out;
}

} // namespace

std::vector<float> resample(const std::vector<float> &plane, int planeWidth, Region region,
                            int outWidth, int outHeight) {
  return resampleAny(plane, planeWidth, region, outWidth, outHeight);
}

std::vector<float> resample(const std::vector<std::uint8_t> &plane, int planeWidth, Region region,
                            int outWidth, int outHeight) {
  return resampleAny(plane, planeWidth, region, outWidth, outHeight);
}

Region centreSquare(int width, int height) {
  const int side = std::min(width, height);
  return Region{(width - side) / 2, (height - side) / 2, side, side};
}

} // namespace lumora::resampler
