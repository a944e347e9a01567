#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

/// A decoded picture as plain bytes: 8 bits per sample, sRGB, interleaved RGB (3 bands) or
/// RGBA (4 bands, straight alpha), rows top to bottom with no padding. Orientation has been
/// applied, so row 0 is the top of the upright picture. A plain value, safe to copy between
/// threads; holds no decoder state.
struct DecodedImage {
  int width = 0;
  int height = 0;
  /// 3 (RGB) or 4 (RGBA).
  int bands = 3;
  /// width × height × bands bytes.
  std::vector<std::uint8_t> pixels;

  /// Bytes from the start of one row to the start of the next.
  [[nodiscard]] std::size_t stride() const {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(bands);
  }
  [[nodiscard]] bool hasAlpha() const { return bands == 4; }
  /// The first byte of row `y`.
  [[nodiscard]] const std::uint8_t *row(int y) const {
    return pixels.data() + static_cast<std::size_t>(y) * stride();
  }
  [[nodiscard]] bool isEmpty() const { return width <= 0 || height <= 0 || pixels.empty(); }

  bool operator==(const DecodedImage &) const = default;
};

} // namespace platform
