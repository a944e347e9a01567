#include "SyntheticImages.h"

#include "engine/analysis/ImagePlanes.h"
#include "engine/analysis/MarkMeasures.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace lumora;
using namespace analysistest;

namespace {

markmeasures::Marks marksOf(const TestImage &image) {
  return markmeasures::measure(ImagePlanes(image.view()));
}

/// A panel of grey `ground` filled with lines of small letters of grey `ink`, 7 pixels apart,
/// with gaps between words: text at thumbnail size.
TestImage textPanel(std::uint8_t ground, std::uint8_t ink) {
  TestImage image(512, 384, 3, ground);
  for (int y = 8; y < 376; ++y) {
    for (int x = 8; x < 504; ++x) {
      if (y % 7 < 3 && x % 5 < 3 && (x / 30 + y / 7) % 5 != 0)
        image.set(x, y, ink, ink, ink);
    }
  }
  return image;
}

/// Single bright points scattered over black, as stars are.
TestImage starField() {
  TestImage image(512, 384, 3, 0);
  for (int i = 0; i < 900; ++i) {
    const int x = (i * 197) % 509, y = (i * 131 + i / 7) % 381;
    const auto v = static_cast<std::uint8_t>(120 + (i * 37) % 130);
    image.fillRect(x, y, 1 + i % 2, 1 + i % 2, v, v, v);
  }
  return image;
}

/// Two panels of greys `top` and `bottom` meeting along the row `y` of a 512 × 384 frame.
TestImage twoPanels(int y, std::uint8_t top, std::uint8_t bottom) {
  TestImage image(512, 384, 3, top);
  image.fillRect(0, y, 512, 384 - y, bottom, bottom, bottom);
  return image;
}

} // namespace

TEST(MarkMeasures, linesOfLettersCountOnAnyGround) {
  const float darkOnLight = marksOf(textPanel(236, 40)).markLines;
  const float lightOnDark = marksOf(textPanel(48, 220)).markLines;
  const float onMidGrey = marksOf(textPanel(128, 250)).markLines;
  EXPECT_GT(darkOnLight, 0.5f);
  EXPECT_GT(lightOnDark, 0.5f);
  EXPECT_GT(onMidGrey, 0.5f);
  // Compression's ringing and a sensor's faint noise leave the ground near-uniform.
  EXPECT_GT(marksOf(noisy(textPanel(48, 220), 3, 7)).markLines, 0.5f);
  // A sharp downscale rings past the ground beside each letter: darker than a dark ground.
  TestImage ringing = textPanel(48, 220);
  for (int y = 8; y < 376; y += 7)
    ringing.fillRect(8, y + 3, 496, 1, 26, 26, 26);
  EXPECT_GT(marksOf(ringing).markLines, 0.5f);
}

TEST(MarkMeasures, starsTexturesAndScenesAreNoLinesOfMarks) {
  EXPECT_LT(marksOf(starField()).markLines, 0.05f);
  EXPECT_LT(marksOf(noisePhoto(3)).markLines, 0.05f);
  EXPECT_LT(marksOf(scene(5)).markLines, 0.05f);
  // Letters too faint against their ground are no marks.
  EXPECT_EQ(marksOf(textPanel(128, 150)).markLines, 0.0f);
}

TEST(MarkMeasures, straightEdgesNeedFlatSidesAlignedWithTheFrame) {
  // One edge across the frame between two flat panels: its pixels are a row of the small
  // plane, a third of a percent of it or more.
  const float flat = marksOf(twoPanels(192, 200, 60)).straightEdges;
  EXPECT_GT(flat, 0.003f);
  // The window's panels, bars and buttons have many.
  EXPECT_GT(marksOf(screenshot()).straightEdges, flat);
  // The same edge between two textured sides, or running across the frame at a slant.
  EXPECT_EQ(marksOf(noisy(twoPanels(192, 200, 60), 12, 3)).straightEdges, 0.0f);
  TestImage slanted(512, 384, 3, 200);
  for (int y = 0; y < 384; ++y)
    slanted.fillRect(0, y, 150 + y * 2 / 3, 1, 60, 60, 60);
  EXPECT_EQ(marksOf(slanted).straightEdges, 0.0f);
  // A photograph-like scene's edges are neither.
  EXPECT_LT(marksOf(scene(5)).straightEdges, flat);
}

TEST(MarkMeasures, tinyAndBlankFramesMeasureZero) {
  for (const int side : {1, 2, 15, 17}) {
    const markmeasures::Marks m = marksOf(TestImage(side, side, 3, 90));
    EXPECT_EQ(m.markLines, 0.0f);
    EXPECT_EQ(m.straightEdges, 0.0f);
  }
  const markmeasures::Marks edge = marksOf(twoPanels(1, 255, 0));
  EXPECT_TRUE(std::isfinite(edge.markLines) && std::isfinite(edge.straightEdges));
}
