#pragma once

#include <cstdint>
#include <vector>

namespace lumora::resampler {

/// A rectangle of a plane, in pixels.
struct Region {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

/// Resamples `region` of a row-major float plane `planeWidth` pixels wide to
/// `outWidth` × `outHeight`, stretching as needed. A tent filter whose support widens with the
/// reduction factor averages every source pixel when shrinking (no aliasing of fine texture
/// into the small image) and interpolates linearly when enlarging; edges are clamped.
[[nodiscard]] std::vector<float> resample(const std::vector<float> &plane, int planeWidth,
                                          Region region, int outWidth, int outHeight);
/// The same for a plane of bytes.
[[nodiscard]] std::vector<float> resample(const std::vector<std::uint8_t> &plane, int planeWidth,
                                          Region region, int outWidth, int outHeight);

/// The largest centred square of a `width` × `height` image.
[[nodiscard]] Region centreSquare(int width, int height);

} // namespace lumora::resampler
