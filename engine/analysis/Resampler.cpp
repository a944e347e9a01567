#include "engine/analysis/Resampler.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace lumora::Resampler {

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

std::vector<float> resample(const std::vector<float> &plane, int planeWidth, Region region,
                            int outWidth, int outHeight) {
  const Taps across = makeTaps(region.x, region.width, outWidth);
  const Taps down = makeTaps(region.y, region.height, outHeight);
  const std::size_t ow = static_cast<std::size_t>(outWidth);

  // Horizontal pass over the rows of the region only.
  std::vector<float> rows(static_cast<std::size_t>(region.height) * ow);
  for (int y = 0; y < region.height; ++y) {
    const float *src = &plane[static_cast<std::size_t>(region.y + y) * planeWidth];
    float *dst = &rows[static_cast<std::size_t>(y) * ow];
    for (int i = 0; i < outWidth; ++i) {
      const float *w = &across.weights[static_cast<std::size_t>(i) * across.maxTaps];
      const float *s = src + across.first[i];
      float sum = 0;
      for (int k = 0; k < across.count[i]; ++k) {
        sum += w[k] * s[k];
      }
      dst[i] = sum;
    }
  }

  // Vertical pass: each output row is a weighted sum of whole intermediate rows.
  std::vector<float> out(ow * static_cast<std::size_t>(outHeight), 0.0f);
  for (int i = 0; i < outHeight; ++i) {
    float *dst = &out[static_cast<std::size_t>(i) * ow];
    const float *w = &down.weights[static_cast<std::size_t>(i) * down.maxTaps];
    for (int k = 0; k < down.count[i]; ++k) {
      const float *src = &rows[static_cast<std::size_t>(down.first[i] - region.y + k) * ow];
      const float weight = w[k];
      for (std::size_t x = 0; x < ow; ++x) {
        dst[x] += weight * src[x];
      }
    }
  }
  return out;
}

Region centreSquare(int width, int height) {
  const int side = std::min(width, height);
  return Region{(width - side) / 2, (height - side) / 2, side, side};
}

} // namespace lumora::Resampler
