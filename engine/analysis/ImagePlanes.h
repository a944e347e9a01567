#pragma once

#include "engine/analysis/PixelView.h"

#include <cstdint>
#include <vector>

namespace lumora {

/// One image as float planes, built once per analysis and shared by the feature, score and
/// sharpness passes. All values are composited over black where the image has alpha, so
/// transparent areas read as 0.
///
/// - `grey`: Rec. 601 luma of the sRGB values, rounded to bytes, at full resolution, for the
///   sharpness rendering (itself 8-bit) and the noise estimate;
/// - `small`: grey and two opponent-colour planes (red − green, yellow − blue), box-averaged
///   down so that the shorter side is at least 128 pixels: all that the feature vector and the
///   tone and colour measures need, at a ninth of the cost for a 512-pixel thumbnail.
class ImagePlanes {
public:
  struct Small {
    int width = 0;
    int height = 0;
    std::vector<float> grey;
    std::vector<float> redGreen;
    std::vector<float> yellowBlue;
  };

  explicit ImagePlanes(const PixelView &view);

  [[nodiscard]] int width() const { return m_width; }
  [[nodiscard]] int height() const { return m_height; }
  [[nodiscard]] const std::vector<std::uint8_t> &grey() const { return m_grey; }
  [[nodiscard]] const Small &small() const { return m_small; }

private:
  template <typename Sum> void fill(const PixelView &view, int factor);

  int m_width = 0;
  int m_height = 0;
  std::vector<std::uint8_t> m_grey;
  Small m_small;
};

} // namespace lumora
