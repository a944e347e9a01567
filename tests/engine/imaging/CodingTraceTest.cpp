// The trace of a video coder's prediction in a picture stored losslessly.
#include "engine/imaging/CodingTrace.h"
#include "engine/imaging/ImageLoader.h"
#include "tests/support/BlockCoding.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace lumora {
namespace {

using testsupport::blockcoding::recode;

/// A grey scene with soft shapes, a few hard edges and grain fixed per pixel.
std::vector<double> scene(int width, int height, int seed) {
  std::vector<double> plane(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      double grey = 120.0 + 40.0 * std::sin(x * 0.031 + seed) * std::cos(y * 0.027);
      grey += ((x + 3 * seed) % 97 < 9) ? 50.0 : 0.0;
      std::uint32_t h = static_cast<std::uint32_t>(x) * 73856093u ^
                        static_cast<std::uint32_t>(y) * 19349663u ^
                        static_cast<std::uint32_t>(seed) * 83492791u;
      h = (h ^ (h >> 13)) * 1274126177u;
      grey += (static_cast<double>(h >> 24) / 255.0 - 0.5) * 12.0;
      plane[static_cast<std::size_t>(y) * width + x] = grey;
    }
  }
  return plane;
}

/// `plane` as 8-bit samples of `bands` equal channels (the last one opaque alpha when 2 or 4).
std::vector<std::uint8_t> samples(const std::vector<double> &plane, int bands) {
  std::vector<std::uint8_t> out(plane.size() * bands);
  for (std::size_t i = 0; i < plane.size(); ++i) {
    const auto level = static_cast<std::uint8_t>(std::lround(std::clamp(plane[i], 0.0, 255.0)));
    for (int b = 0; b < bands; ++b) {
      out[i * bands + b] = (b == 1 && bands == 2) || b == 3 ? 255 : level;
    }
  }
  return out;
}

float traceOf(const std::vector<double> &plane, int width, int height, int bands = 1) {
  const std::vector<std::uint8_t> bytes = samples(plane, bands);
  return codingtrace::residualTrace(codingtrace::Samples{bytes.data(), width, height, bands,
                                                         static_cast<std::size_t>(width) * bands});
}

/// A predicted frame's coding: the fine part of each block's difference from its prediction
/// is rounded away when it is small (the prediction here is flat, so the difference is the
/// block itself).
double dropSmallFine(int v, int u, double value) {
  return u + v >= 4 && std::abs(value) < 7.0 ? 0.0 : value;
}

/// A still save: every coefficient rounded to a multiple of a step that grows with frequency.
double stillSave(int v, int u, double value) {
  const double step = 10.0 + 3.0 * (u + v);
  return step * std::round(value / step);
}

TEST(CodingTrace, aPredictedFrameShowsTheGridAtItsCorner) {
  constexpr int kWidth = 640, kHeight = 360;
  for (int seed = 0; seed < 3; ++seed) {
    const std::vector<double> clean = scene(kWidth, kHeight, seed);
    std::vector<double> predicted = clean;
    recode(predicted, kWidth, kHeight, 0, 0, dropSmallFine);
    std::vector<double> elsewhere = clean;
    recode(elsewhere, kWidth, kHeight, 3, 5, dropSmallFine);
    const float trace = traceOf(predicted, kWidth, kHeight);
    EXPECT_GT(trace, 0.02f) << "seed " << seed;
    EXPECT_LT(traceOf(clean, kWidth, kHeight), 0.01f) << "seed " << seed;
    // Coded on a grid that does not start at the corner (a cropped frame): not looked for.
    EXPECT_LT(traceOf(elsewhere, kWidth, kHeight), 0.01f) << "seed " << seed;
    // Grey, grey and alpha, RGB and RGBA read the same luma.
    for (const int bands : {2, 3, 4}) {
      EXPECT_NEAR(traceOf(predicted, kWidth, kHeight, bands), trace, 1e-4) << bands << " bands";
    }
  }
}

TEST(CodingTrace, aStillSaveKeptLosslesslyIsNoPredictedFrame) {
  constexpr int kWidth = 480, kHeight = 320;
  for (int seed = 0; seed < 3; ++seed) {
    std::vector<double> saved = scene(kWidth, kHeight, seed);
    recode(saved, kWidth, kHeight, 0, 0, stillSave);
    EXPECT_EQ(traceOf(saved, kWidth, kHeight), 0.0f) << "seed " << seed;
  }
}

TEST(CodingTrace, picturesItDoesNotMeasureGiveNothing) {
  std::vector<double> predicted = scene(640, 360, 1);
  recode(predicted, 640, 360, 0, 0, dropSmallFine);
  const std::vector<std::uint8_t> bytes = samples(predicted, 1);
  const auto trace = [&](int width, int height, int bands, std::size_t stride) {
    return codingtrace::residualTrace(
        codingtrace::Samples{bytes.data(), width, height, bands, stride});
  };
  ASSERT_GT(trace(640, 360, 1, 640), 0.0f);
  EXPECT_EQ(trace(63, 360, 1, 640), 0.0f); // too narrow to hold the grid
  EXPECT_EQ(trace(640, 63, 1, 640), 0.0f); // too low
  EXPECT_EQ(trace(64, 64, 5, 640), 0.0f);  // no such picture
  EXPECT_EQ(trace(64, 64, 0, 640), 0.0f);
  EXPECT_EQ(trace(640, 360, 1, 639), 0.0f); // rows overlap
  EXPECT_EQ(codingtrace::residualTrace({nullptr, 640, 360, 1, 640}), 0.0f);
  EXPECT_EQ(traceOf(std::vector<double>(200 * 200, 90.0), 200, 200), 0.0f); // flat
  // Up to a full-HD frame it is measured; beyond, not, whatever the picture holds.
  const auto tiled = [&](int width, int height) {
    std::vector<double> plane(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        plane[static_cast<std::size_t>(y) * width + x] = predicted[(y % 360) * 640 + x % 640];
      }
    }
    return traceOf(plane, width, height);
  };
  EXPECT_GT(tiled(1920, 1080), 0.02f);
  EXPECT_EQ(tiled(1928, 1088), 0.0f);
}

TEST(CodingTrace, theLoaderMeasuresSmallLosslessFilesAtTheirOwnSize) {
  std::vector<double> predicted = scene(640, 360, 0);
  recode(predicted, 640, 360, 0, 0, dropSmallFine);
  const std::vector<std::uint8_t> grey = samples(predicted, 1);
  testsupport::TempDir dir;
  const auto traceOfFile = [&](const std::string &name, int width, int height) {
    EXPECT_TRUE(testsupport::writeImage(dir.path() / name, width, height, [&](int x, int y) {
      const std::uint8_t level = grey[(y % 360) * 640 + x % 640];
      return testsupport::Rgb{level, level, level};
    }));
    const std::string bare = name.substr(0, name.find('['));
    const auto loaded = ImageLoader::loadFile((dir.path() / bare).string(), 512);
    EXPECT_TRUE(loaded.hasValue()) << bare;
    return loaded ? loaded->codingTrace : -1.0f;
  };
  EXPECT_GT(traceOfFile("frame.png", 640, 360), 0.02f);
  EXPECT_GT(traceOfFile("frame.tif", 640, 360), 0.02f);
  // A JPEG's own tables tell its loss; a picture beyond a full-HD frame is not held whole.
  EXPECT_EQ(traceOfFile("frame.jpg[Q=98]", 640, 360), 0.0f);
  EXPECT_EQ(traceOfFile("large.png", 1928, 1088), 0.0f);
}

} // namespace
} // namespace lumora
