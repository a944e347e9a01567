// The share of a picture's steps that follow a codec's block grid.
#include "engine/analysis/BlockGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

using namespace lumora;

namespace {

/// A grey picture, `width` × `height`: a gradient with soft waves and fine texture; with
/// `blockSide` > 0, every block of that side (in the picture's own pixels, not necessarily
/// whole) is off by up to `offset` levels, as a coarse coder leaves it.
std::vector<std::uint8_t> picture(int width, int height, double blockSide, int offset) {
  std::vector<std::uint8_t> grey(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      double v = 60 + 100.0 * x / width + 20 * std::sin(x * 0.05) * std::cos(y * 0.07);
      v += 6 * std::sin(x * 1.3 + y * 0.7) * std::sin(y * 1.9);
      if (blockSide > 0) {
        const auto block = static_cast<unsigned>(static_cast<int>(x / blockSide) * 7919 +
                                                 static_cast<int>(y / blockSide) * 104729);
        v += offset * ((static_cast<int>(block % 7u) - 3) / 3.0);
      }
      grey[static_cast<std::size_t>(y) * width + x] =
          static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
    }
  }
  return grey;
}

float share(const std::vector<std::uint8_t> &grey, int width, int height, double period) {
  const ImagePlanes planes(PixelView{width, height, 1, grey.data(), 0});
  return blockgrid::share(planes, period);
}

TEST(BlockGrid, blockEdgesShowAtTheGridsPeriodWholeOrShrunk) {
  // At the coded size, and as a thumbnail shrunk by 1.25 shows the grid (6.4 pixels apart).
  for (const double period : {8.0, 6.4}) {
    const auto clean = picture(512, 288, 0, 0);
    const auto faint = picture(512, 288, period, 2);
    const auto blocky = picture(512, 288, period, 8);
    const float none = share(clean, 512, 288, period);
    const float some = share(faint, 512, 288, period);
    const float many = share(blocky, 512, 288, period);
    EXPECT_LT(none, 0.02f) << period;
    EXPECT_GT(some, none + 0.015f) << period;
    EXPECT_GT(many, some) << period;
    EXPECT_GT(many, 0.2f) << period;
  }
}

TEST(BlockGrid, aGridOfAnotherPeriodOrTooFineToShowCountsForNothing) {
  // Blocks of 5 pixels are no 8-pixel grid, nor are blocks of 12.
  for (const double side : {5.0, 12.0}) {
    const auto other = picture(512, 288, side, 8);
    EXPECT_LT(share(other, 512, 288, 8.0), 0.05f) << side;
  }
  // A grid shrunk below 2.5 pixels, or a picture of fewer than four periods, is not looked at.
  const auto fine = picture(512, 288, 2.0, 8);
  EXPECT_EQ(share(fine, 512, 288, 2.0), 0.0f);
  const auto small = picture(30, 30, 8.0, 8);
  EXPECT_EQ(share(small, 30, 30, 8.0), 0.0f);
  const auto flat = std::vector<std::uint8_t>(64 * 64, 128);
  EXPECT_EQ(share(flat, 64, 64, 8.0), 0.0f);
}

} // namespace
