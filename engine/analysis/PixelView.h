#pragma once

#include <cstddef>
#include <cstdint>

namespace lumora {

/// A read-only view of an 8-bit sRGB pixel buffer, the analyzer's input. It owns nothing:
/// the decoded image it points into must outlive every use. Bands: 1 grey, 2 grey + alpha,
/// 3 RGB, 4 RGBA, interleaved; rows may be padded (`rowStride`, 0 means tightly packed).
struct PixelView {
  int width = 0;
  int height = 0;
  int bands = 0;
  const std::uint8_t *pixels = nullptr;
  std::size_t rowStride = 0;

  /// Bytes from the start of one row to the next.
  [[nodiscard]] std::size_t stride() const {
    return rowStride != 0 ? rowStride
                          : static_cast<std::size_t>(width) * static_cast<std::size_t>(bands);
  }
  /// True when the view describes pixels the analyzer can read.
  [[nodiscard]] bool isValid() const {
    return pixels != nullptr && width > 0 && height > 0 && bands >= 1 && bands <= 4 &&
           stride() >= static_cast<std::size_t>(width) * static_cast<std::size_t>(bands);
  }
  [[nodiscard]] bool hasAlpha() const { return bands == 2 || bands == 4; }
  [[nodiscard]] const std::uint8_t *row(int y) const {
    return pixels + static_cast<std::size_t>(y) * stride();
  }
};

} // namespace lumora
