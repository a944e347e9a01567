#include "engine/analysis/ExactPixelMeasures.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace lumora::exactpixels {

namespace {

template <int Bands> inline int samePixel(const std::uint8_t *a, const std::uint8_t *b) {
  int same = a[0] == b[0];
  for (int i = 1; i < Bands; ++i)
    same &= a[i] == b[i];
  return same;
}

/// Pixels whose every channel lies within 30 levels above kFringeLight (up to the white left
/// out of the flat ones), or whose every channel lies within 30 levels above kFringeDark (from
/// the black left out), fringe the black and white: a photograph's clipped sky or snow fades
/// through many of them, a window's blank white meets its lettering and lines in a step.
constexpr unsigned kFringeLight = 215, kFringeDark = 11;

/// The share of pixels (every second one of every second row) whose right and lower
/// neighbours have exactly the same value, leaving out black and white in every channel: those
/// are also what clipping leaves in a photograph (a navy or a pure red panel is neither). Also
/// the share with a clipped colour channel, which shows overexposure of saturated colours long
/// before grey clips; and the share of the black and white left out that is exactly flat, with
/// the share of their fringe beside it. Branch-free per band count: this runs over a quarter of
/// the thumbnail.
template <int Bands> void flatness(const PixelView &image, QualityMeasures &m) {
  std::size_t flat = 0, n = 0, clippedChannel = 0, same = 0, fringe = 0;
  std::array<std::uint32_t, 256> flatByGrey{};
  for (int y = 0; y + 1 < image.height; y += 2) {
    const std::uint8_t *row = image.row(y);
    const std::uint8_t *below = image.row(y + 1);
    for (int x = 0; x + 1 < image.width; x += 2) {
      const std::size_t o = static_cast<std::size_t>(x) * Bands;
      const std::uint8_t *p = row + o;
      std::uint8_t darkest = p[0], brightest = p[0];
      if constexpr (Bands >= 3) {
        darkest = std::min({p[0], p[1], p[2]});
        brightest = std::max({p[0], p[1], p[2]});
      }
      const int unclipped = (brightest > 10) & (darkest < 245);
      int channel = p[0] >= 254;
      if constexpr (Bands >= 3)
        channel |= (p[1] >= 254) | (p[2] >= 254);
      clippedChannel += static_cast<std::size_t>(channel);
      const int isSame = samePixel<Bands>(p, p + Bands) & samePixel<Bands>(p, below + o);
      const int isFlat = unclipped & isSame;
      flat += static_cast<std::size_t>(isFlat);
      same += static_cast<std::size_t>(isSame);
      fringe += static_cast<std::size_t>((darkest - kFringeLight < 30u) |
                                         (brightest - kFringeDark < 30u));
      int grey = p[0];
      if constexpr (Bands >= 3)
        grey = (p[0] + 2 * p[1] + p[2]) >> 2;
      flatByGrey[static_cast<std::size_t>(grey)] += static_cast<std::uint32_t>(isFlat);
      ++n;
    }
  }
  std::partial_sort(flatByGrey.begin(), flatByGrey.begin() + 4, flatByGrey.end(), std::greater<>());
  const std::uint32_t few = flatByGrey[0] + flatByGrey[1] + flatByGrey[2] + flatByGrey[3];
  m.flatFewGreys = flat == 0 ? 0.0f : static_cast<float>(static_cast<double>(few) / flat);
  m.exactFlat = n == 0 ? 0.0f : static_cast<float>(static_cast<double>(flat) / n);
  m.clippedChannel = n == 0 ? 0.0f : static_cast<float>(static_cast<double>(clippedChannel) / n);
  // The black and white are left out of the flat pixels: the rest of the equal ones.
  const std::size_t blank = same - flat;
  m.blankFlat = n == 0 ? 0.0f : static_cast<float>(static_cast<double>(blank) / n);
  m.blankFringe = blank + fringe == 0
                      ? 0.0f
                      : static_cast<float>(static_cast<double>(fringe) / (blank + fringe));
}

} // namespace

void measureFlatness(const PixelView &image, QualityMeasures &m) {
  switch (image.bands) {
  case 1: flatness<1>(image, m); break;
  case 2: flatness<2>(image, m); break;
  case 3: flatness<3>(image, m); break;
  default: flatness<4>(image, m); break;
  }
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
  for (int y = 0; y < image.height; y += 4) {
    const std::uint8_t *row = image.row(y);
    for (int x = 0; x < image.width; x += 4) {
      std::uint64_t key = 1; // 0 marks an empty slot
      for (int b = 0; b < bands; ++b)
        key = (key << 8) ^ row[static_cast<std::size_t>(x) * bands + b];
      ++n;
      std::size_t slot = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 51);
      int probes = 0;
      while (keys[slot] != 0 && keys[slot] != key && ++probes < 4)
        slot = (slot + 1) & (kSlots - 1);
      if (keys[slot] != key) {
        if (keys[slot] != 0 || used >= kSlots / 2)
          continue;
        keys[slot] = key;
        ++used;
      }
      ++counts[slot];
    }
  }
  std::partial_sort(counts.begin(), counts.begin() + 8, counts.end(), std::greater<>());
  std::size_t top = 0;
  for (int i = 0; i < 8; ++i)
    top += counts[i];
  m.dominantColours = n == 0 ? 1.0f : static_cast<float>(static_cast<double>(top) / n);
}

} // namespace lumora::exactpixels
