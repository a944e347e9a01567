#include "engine/analysis/Resampler.h"

#include <gtest/gtest.h>

#include <bit>
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

struct Case {
  int width, height;
  resampler::Region region;
  int outWidth, outHeight;
};

/// Row lengths in whole groups of eight or not, shrinking or enlarging, whole or a region.
const Case kCases[] = {
    {512, 384, {0, 0, 512, 384}, 256, 256}, {37, 29, {0, 0, 37, 29}, 16, 11},
    {37, 29, {3, 2, 30, 21}, 64, 50},       {9, 7, {1, 1, 7, 5}, 3, 2},
    {200, 100, {50, 0, 100, 100}, 64, 64},  {1, 1, {0, 0, 1, 1}, 5, 5},
};

} // namespace

// Byte planes are widened eight samples at a time, float planes four by four and row ends one
// by one: every way must give exactly the values of the same plane held as floats, whatever
// the row length (whole groups of eight or not), shrinking or enlarging, whole or a region.
TEST(Resampler, BytePlanesResampleExactlyAsTheirFloatValues) {
  for (const Case &c : kCases) {
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

// The vector code and the portable code (PINDLE_NO_SIMD, and every build off x86) give the
// same bits: both builds run this against one digest of every value above.
TEST(Resampler, VectorAndPortableBuildsGiveTheSameBits) {
  std::uint64_t digest = 14695981039346656037u; // FNV-1a over the values' bit patterns
  for (const Case &c : kCases) {
    const std::vector<std::uint8_t> bytes = bytePlane(c.width, c.height);
    const std::vector<float> floats(bytes.begin(), bytes.end());
    for (const std::vector<float> &out :
         {resampler::resample(bytes, c.width, c.region, c.outWidth, c.outHeight),
          resampler::resample(floats, c.width, c.region, c.outWidth, c.outHeight)}) {
      for (const float v : out) {
        digest = (digest ^ std::bit_cast<std::uint32_t>(v)) * 1099511628211u;
      }
    }
  }
  EXPECT_EQ(digest, 1040878031474254513u)
      << "resampled values changed: the analyzer's output moves with them";
}
