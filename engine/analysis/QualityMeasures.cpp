#include "engine/analysis/QualityMeasures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>
#include <vector>

namespace lumora {

namespace {

void measureTones(const ImagePlanes &planes, QualityMeasures &m) {
  const std::vector<float> &grey = planes.small().grey;
  double sum = 0, sumSquares = 0;
  std::size_t dark = 0, bright = 0;
  for (float v : grey) {
    sum += v;
    sumSquares += static_cast<double>(v) * v;
    dark += v <= 3.5f;
    bright += v >= 251.5f;
  }
  const double n = static_cast<double>(grey.size());
  const double mean = sum / n;
  m.meanGrey = static_cast<float>(mean);
  m.contrast = static_cast<float>(std::sqrt(std::max(0.0, sumSquares / n - mean * mean)));
  m.clippedDark = static_cast<float>(dark / n);
  m.clippedBright = static_cast<float>(bright / n);
}

/// Colourfulness after Hasler and Süsstrunk, plus the shares of page-like and ink-like
/// pixels.
void measureColour(const ImagePlanes &planes, QualityMeasures &m) {
  const ImagePlanes::Small &small = planes.small();
  double rg = 0, yb = 0, rg2 = 0, yb2 = 0;
  std::size_t paper = 0, ink = 0;
  const std::size_t n = small.grey.size();
  for (std::size_t i = 0; i < n; ++i) {
    const float a = small.redGreen[i], b = small.yellowBlue[i], g = small.grey[i];
    rg += a;
    yb += b;
    rg2 += static_cast<double>(a) * a;
    yb2 += static_cast<double>(b) * b;
    paper += g >= 200 && std::abs(a) < 12 && std::abs(b) < 12;
    ink += g < 100;
  }
  const double count = static_cast<double>(n);
  const double mrg = rg / count, myb = yb / count;
  const double spread = std::sqrt(std::max(0.0, rg2 / count - mrg * mrg) +
                                  std::max(0.0, yb2 / count - myb * myb));
  m.colourfulness = static_cast<float>(spread + 0.3 * std::sqrt(mrg * mrg + myb * myb));
  m.paper = static_cast<float>(static_cast<double>(paper) / count);
  m.ink = static_cast<float>(static_cast<double>(ink) / count);
}

/// Sensor noise from the response to a mask that cancels planes and straight edges, taken
/// only where the local gradient is small so that texture and edges do not pass for noise.
void measureNoise(const ImagePlanes &planes, QualityMeasures &m) {
  const int w = planes.width(), h = planes.height();
  const float *g = planes.grey().data();
  double total = 0;
  std::size_t used = 0;
  constexpr float kSmooth = 24.0f;
  for (int y = 1; y < h - 1; y += 3) {
    const float *r0 = g + static_cast<std::size_t>(y - 1) * w;
    const float *r1 = r0 + w;
    const float *r2 = r1 + w;
    for (int x = 1; x < w - 1; x += 3) {
      const float gx = (r0[x + 1] + 2 * r1[x + 1] + r2[x + 1]) - (r0[x - 1] + 2 * r1[x - 1] + r2[x - 1]);
      const float gy = (r2[x - 1] + 2 * r2[x] + r2[x + 1]) - (r0[x - 1] + 2 * r0[x] + r0[x + 1]);
      if (std::abs(gx) + std::abs(gy) >= kSmooth) continue;
      const float response = (r0[x - 1] + r0[x + 1] + r2[x - 1] + r2[x + 1]) -
                             2 * (r0[x] + r1[x - 1] + r1[x + 1] + r2[x]) + 4 * r1[x];
      total += std::abs(response);
      ++used;
    }
  }
  m.noise = used == 0 ? 0.0f
                      : static_cast<float>(std::sqrt(std::numbers::pi / 2) / 6.0 * total / used);
}

inline bool samePixel(const std::uint8_t *a, const std::uint8_t *b, int bands) {
  bool same = a[0] == b[0];
  for (int i = 1; i < bands; ++i) same = same && a[i] == b[i];
  return same;
}

void measureFlatness(const PixelView &image, QualityMeasures &m) {
  std::size_t flat = 0, n = 0;
  const int bands = image.bands;
  for (int y = 0; y + 1 < image.height; y += 2) {
    const std::uint8_t *row = image.row(y);
    const std::uint8_t *below = image.row(y + 1);
    for (int x = 0; x + 1 < image.width; x += 2) {
      const std::size_t o = static_cast<std::size_t>(x) * bands;
      flat += samePixel(row + o, row + o + bands, bands) && samePixel(row + o, below + o, bands);
      ++n;
    }
  }
  m.exactFlat = n == 0 ? 1.0f : static_cast<float>(static_cast<double>(flat) / n);
}

/// The share of sampled pixels whose exact colour is among the eight most frequent, counted
/// in a fixed open-addressing table; colours first seen once it is half full, or that would
/// need a long probe, count as rare (they cannot be among the most frequent anyway).
void measureDominantColours(const PixelView &image, QualityMeasures &m) {
  constexpr std::size_t kSlots = 1u << 13;
  std::vector<std::uint64_t> keys(kSlots, 0);
  std::vector<std::uint32_t> counts(kSlots, 0);
  std::size_t used = 0, n = 0;
  const int bands = image.bands;
  for (int y = 0; y < image.height; y += 2) {
    const std::uint8_t *row = image.row(y);
    for (int x = 0; x < image.width; x += 3) {
      std::uint64_t key = 1; // 0 marks an empty slot
      for (int b = 0; b < bands; ++b) key = (key << 8) ^ row[static_cast<std::size_t>(x) * bands + b];
      ++n;
      std::size_t slot = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 51);
      int probes = 0;
      while (keys[slot] != 0 && keys[slot] != key && ++probes < 8) slot = (slot + 1) & (kSlots - 1);
      if (keys[slot] != key) {
        if (keys[slot] != 0 || used >= kSlots / 2) continue;
        keys[slot] = key;
        ++used;
      }
      ++counts[slot];
    }
  }
  std::partial_sort(counts.begin(), counts.begin() + 8, counts.end(), std::greater<>());
  std::size_t top = 0;
  for (int i = 0; i < 8; ++i) top += counts[i];
  m.dominantColours = n == 0 ? 1.0f : static_cast<float>(static_cast<double>(top) / n);
}

} // namespace

QualityMeasures QualityMeasures::measure(const PixelView &image, const ImagePlanes &planes,
                                         float sharpness) {
  QualityMeasures m;
  m.sharpness = sharpness;
  measureTones(planes, m);
  measureColour(planes, m);
  measureNoise(planes, m);
  measureFlatness(image, m);
  measureDominantColours(image, m);
  return m;
}

} // namespace lumora
