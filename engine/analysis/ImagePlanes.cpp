#include "engine/analysis/ImagePlanes.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace lumora {

namespace {

// The shorter side of the small planes is at least this; the feature crop is 64 pixels, so
// its resampling still averages two source pixels per output pixel.
constexpr int kSmallSide = 128;

// Rec. 601 luma weights in 1/65536.
constexpr std::uint32_t kRed = 19595, kGreen = 38470, kBlue = 7471;

/// Red, green and blue of one pixel premultiplied by its alpha (0…255 × 255 when there is
/// alpha, 0…255 without), as integers. 32 bits hold a weighted luma sum even with alpha
/// (65536 × 65025 < 2^32), and keep the pixel loop vectorisable.
template <int Bands> struct Pixel {
  static constexpr bool kAlpha = Bands == 2 || Bands == 4;
  static constexpr std::uint32_t kScale = kAlpha ? 255 : 1;
  std::uint32_t r, g, b;
  explicit Pixel(const std::uint8_t *p) {
    const std::uint32_t a = kAlpha ? p[Bands - 1] : 1;
    r = p[0] * a;
    g = (Bands >= 3 ? p[1] : p[0]) * a;
    b = (Bands >= 3 ? p[2] : p[0]) * a;
  }
};

/// The luma of a pixel, rounded to a byte; in integers when there is no alpha.
template <typename P> inline std::uint8_t lumaByte(const P &p, float scale) {
  const std::uint32_t weighted = kRed * p.r + kGreen * p.g + kBlue * p.b;
  if constexpr (!P::kAlpha) {
    return static_cast<std::uint8_t>((weighted + 32768u) >> 16);
  }
  return static_cast<std::uint8_t>(static_cast<float>(weighted) * scale + 0.5f);
}

/// One pass over the pixels: writes the full-resolution grey plane and accumulates the
/// small planes from integer box sums. A template per band count keeps the loop branch-free.
template <int Bands, typename Sum>
void fillPlanes(const PixelView &view, int factor, std::vector<std::uint8_t> &grey,
                ImagePlanes::Small &s) {
  using P = Pixel<Bands>;
  const float greyScale = 1.0f / (65536.0f * P::kScale);
  const float boxScale = 1.0f / (static_cast<float>(factor * factor) * P::kScale);
  const std::size_t width = static_cast<std::size_t>(view.width);
  std::vector<Sum> sums(static_cast<std::size_t>(s.width) * 3, 0);
  for (int y = 0; y < view.height; ++y) {
    const std::uint8_t *src = view.row(y);
    std::uint8_t *dst = &grey[static_cast<std::size_t>(y) * width];
    // Columns inside the small planes' cover feed both planes from one read of each pixel;
    // the few past a whole multiple of `factor`, and rows past it, feed only the grey plane.
    const int covered = y < s.height * factor ? s.width * factor : 0;
    int x = 0;
    for (int cx = 0; x < covered; ++cx) {
      Sum *cell = &sums[static_cast<std::size_t>(cx) * 3];
      for (int k = 0; k < factor; ++k, ++x) {
        const P p(src + static_cast<std::size_t>(x) * Bands);
        dst[x] = lumaByte(p, greyScale);
        cell[0] += p.r;
        cell[1] += p.g;
        cell[2] += p.b;
      }
    }
    for (; x < view.width; ++x) {
      const P p(src + static_cast<std::size_t>(x) * Bands);
      dst[x] = lumaByte(p, greyScale);
    }
    if (covered == 0)
      continue;
    if (y % factor != factor - 1)
      continue;
    const std::size_t base =
        static_cast<std::size_t>(y / factor) * static_cast<std::size_t>(s.width);
    for (int cx = 0; cx < s.width; ++cx) {
      Sum *cell = &sums[static_cast<std::size_t>(cx) * 3];
      const float r = static_cast<float>(cell[0]) * boxScale;
      const float g = static_cast<float>(cell[1]) * boxScale;
      const float b = static_cast<float>(cell[2]) * boxScale;
      s.grey[base + cx] = 0.299f * r + 0.587f * g + 0.114f * b;
      s.redGreen[base + cx] = r - g;
      s.yellowBlue[base + cx] = 0.5f * (r + g) - b;
      cell[0] = cell[1] = cell[2] = 0;
    }
  }
}

} // namespace

template <typename Sum> void ImagePlanes::fill(const PixelView &view, int factor) {
  switch (view.bands) {
  case 1: fillPlanes<1, Sum>(view, factor, m_grey, m_small); break;
  case 2: fillPlanes<2, Sum>(view, factor, m_grey, m_small); break;
  case 3: fillPlanes<3, Sum>(view, factor, m_grey, m_small); break;
  default: fillPlanes<4, Sum>(view, factor, m_grey, m_small); break;
  }
}

ImagePlanes::ImagePlanes(const PixelView &view) : m_width(view.width), m_height(view.height) {
  const int factor = std::max(1, std::min(m_width, m_height) / kSmallSide);
  m_small.width = std::max(1, m_width / factor);
  m_small.height = std::max(1, m_height / factor);
  const std::size_t count =
      static_cast<std::size_t>(m_small.width) * static_cast<std::size_t>(m_small.height);
  m_small.grey.assign(count, 0.0f);
  m_small.redGreen.assign(count, 0.0f);
  m_small.yellowBlue.assign(count, 0.0f);
  m_grey.resize(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height));
  // Box sums fit 32 bits up to a factor of 256 (256² × 255 × 255 < 2^32), which covers
  // every image with a shorter side below 32768 pixels; beyond that they take 64.
  if (factor <= 256) {
    fill<std::uint32_t>(view, factor);
  } else {
    fill<std::uint64_t>(view, factor);
  }
}

} // namespace lumora
