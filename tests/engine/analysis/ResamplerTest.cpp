#include "engine/analysis/Resampler.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace lumora;

namespace {

/// A plane of bytes covering every grey, in a pattern with detail at every scale.
std::vector<std::uint8_t> bytePlane(int width, int height) {
  std::vector<std::uint8_t> plane(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      plane[static_cast<std::size_t>(y) * width + x] =
          static_cast<std::uint8_t>((x * 37 + y * 91 + (x * y) % 23) % 256);
    }
  }
  return plane;
}

} // namespace

// Byte planes are widened eight samples at a time, float planes four by four and row ends one
// by one: every way must give exactly the values of the same plane held as floats, whatever
// the row length (whole groups of eight or not), shrinking or enlarging, whole or a region.
TEST(Resampler, BytePlanesResampleExactlyAsTheirFloatValues) {
  struct Case {
    int width, height;
    resampler::Region region;
    int outWidth, outHeight;
  };
  const Case cases[] = {
      {512, 384, {0, 0, 512, 384}, 256, 256}, {37, 29, {0, 0, 37, 29}, 16, 11},
      {37, 29, {3, 2, 30, 21}, 64, 50},       {9, 7, {1, 1, 7, 5}, 3, 2},
      {200, 100, {50, 0, 100, 100}, 64, 64},  {1, 1, {0, 0, 1, 1}, 5, 5},
  };
  for (const Case &c : cases) {
    const std::vector<std::uint8_t> bytes = bytePlane(c.width, c.height);
    const std::vector<float> floats(bytes.begin(), bytes.end());
    const std::vector<float> fromBytes =
        resampler::resample(bytes, c.width, c.region, c.outWidth, c.outHeight);
    const std::vector<float> fromFloats =
        resampler::resample(floats, c.width, c.region, c.outWidth, c.outHeight);
    ASSERT_EQ(fromBytes.size(), static_cast<std::size_t>(c.outWidth) * c.outHeight);
    for (std::size_t i = 0; i < fromBytes.size(); ++i) {
      ASSERT_EQ(fromBytes[i], fromFloats[i]) << c.width << "x" << c.height << " at " << i;
      ASSERT_GE(fromBytes[i], 0.0f);
      ASSERT_LE(fromBytes[i], 255.0f);
    }
  }
}
