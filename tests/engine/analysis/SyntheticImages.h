#pragma once

#include "engine/analysis/PixelView.h"

#include <cstdint>
#include <vector>

namespace analysistest {

/// An owned 8-bit image for the analyzer tests.
struct TestImage {
  int width = 0;
  int height = 0;
  int bands = 3;
  std::vector<std::uint8_t> pixels;

  TestImage(int w, int h, int b, std::uint8_t fill = 0);
  [[nodiscard]] lumora::PixelView view() const { return {width, height, bands, pixels.data(), 0}; }
  std::uint8_t *at(int x, int y) {
    return &pixels[(static_cast<std::size_t>(y) * width + x) * bands];
  }
  const std::uint8_t *at(int x, int y) const {
    return &pixels[(static_cast<std::size_t>(y) * width + x) * bands];
  }
  void set(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b);
  void fillRect(int x0, int y0, int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b);
};

/// A photograph-like scene: a sky gradient, coloured shapes, fine texture and sensor noise,
/// all chosen by `seed`.
TestImage scene(unsigned seed, int width = 512, int height = 384);
/// A copy blurred by three box passes of the given radius.
TestImage blurred(const TestImage &image, int radius);
/// A copy with every sample multiplied by `gain`, clipped to 0…255.
TestImage exposed(const TestImage &image, float gain);
/// A copy with uniform noise of ±`amplitude` added to every sample, clipped samples kept.
TestImage noisy(const TestImage &image, int amplitude, unsigned seed);
/// A copy moved left by `dx` pixels, the right edge repeated.
TestImage shifted(const TestImage &image, int dx);
/// A desktop window: flat panels, buttons and text lines in exact colours.
TestImage screenshot(int width = 512, int height = 320);
/// A page of dark text strokes on white.
TestImage documentPage(int width = 384, int height = 512);
/// A message dialog of 180 × 60 pixels in the middle of an empty 512 × 288 desktop of grey
/// `desktop`: a title bar, a pale panel with two lines of letters, a coloured icon and a button.
TestImage dialogOnDesktop(std::uint8_t desktop);
/// Uniform random noise over a smooth gradient.
TestImage noisePhoto(unsigned seed, int width = 512, int height = 384);

} // namespace analysistest
