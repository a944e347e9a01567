#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

/// A decoded image: 8-bit samples, RGB or RGBA, rows packed without padding, top row first.
/// A plain value, safe to move between threads.
struct ImageBuffer {
  int width = 0;
  int height = 0;
  /// 3 (RGB) or 4 (RGBA).
  int channels = 0;
  std::vector<std::uint8_t> pixels;

  [[nodiscard]] bool isNull() const { return width <= 0 || height <= 0 || pixels.empty(); }
  [[nodiscard]] std::size_t bytesPerRow() const {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
  }
  bool operator==(const ImageBuffer &) const = default;
};

} // namespace platform
