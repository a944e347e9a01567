#include "SyntheticImages.h"

#include "engine/analysis/ImagePlanes.h"
#include "engine/analysis/LineMeasures.h"
#include "engine/analysis/QualityMeasures.h"
#include "engine/analysis/UtilityClassifier.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

using namespace lumora;
using namespace analysistest;

namespace {

float rhythmOf(const TestImage &image) {
  return linemeasures::lineRhythm(ImagePlanes(image.view()));
}

float darkRhythmOf(const TestImage &image) {
  return linemeasures::darkLineRhythm(ImagePlanes(image.view()));
}

/// Whether the picture, measured whole, is flagged as a page by the lined-page rule.
bool linedPage(const TestImage &image) {
  const ImagePlanes planes(image.view());
  return utilityclassifier::isLinedPage(QualityMeasures::measure(image.view(), planes, 300));
}

/// Ink at (u, v) of a page of `pitch`-pixel lines: letters 1 px wide, 5 px tall, 3 px apart, in
/// words of 3 to 8 letters; `letters` false draws each line as one unbroken rule instead.
bool inkAt(int u, int v, int pitch, bool letters) {
  if (u < 0 || v < 0 || v % pitch >= 5 || u > 1000)
    return false;
  if (!letters)
    return v % pitch < 2;
  const int line = v / pitch, word = (u + 7 * line) / 30;
  return (u + 7 * line) % 30 < 3 * (3 + (word * 5 + line) % 6) && u % 3 == 0;
}

/// A pale page of lines turned by `degrees` lying in a colourful scene: the page lies about
/// (`centreX`, `centreY`), the middle of the frame unless told, its paper a little warm and
/// shaded, as a lamp leaves it.
TestImage pageInScene(float degrees, int pitch, bool letters, int centreX = 256,
                      int centreY = 192) {
  TestImage image = scene(7);
  const float c = std::cos(degrees * 3.14159265f / 180.0f);
  const float s = std::sin(degrees * 3.14159265f / 180.0f);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const float dx = static_cast<float>(x - centreX), dy = static_cast<float>(y - centreY);
      const float u = c * dx + s * dy + 110, v = -s * dx + c * dy + 150;
      if (u < 0 || v < 0 || u >= 220 || v >= 300)
        continue;
      const bool ink = u >= 15 && v >= 15 && u < 205 && v < 285 &&
                       inkAt(static_cast<int>(u) - 15, static_cast<int>(v) - 15, pitch, letters);
      const auto paper = static_cast<std::uint8_t>(225 - static_cast<int>(u) / 8);
      image.set(x, y, ink ? 40 : paper, ink ? 38 : static_cast<std::uint8_t>(paper - 4),
                ink ? 35 : static_cast<std::uint8_t>(paper - 12));
    }
  }
  return image;
}

/// A small grey crop of type: lines of `pitch` pixels over the whole 384 × 191 frame, with
/// scanner noise.
TestImage greyCrop(int pitch) {
  TestImage image(384, 191, 3, 0);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t v = inkAt(x - 6, y - 4, pitch, true) ? 60 : 200;
      image.set(x, y, v, v, v);
    }
  return noisy(image, 6, 3);
}

/// A tall dark phone screen of text, as the thumbnail holds it (236 × 512): lines of pale,
/// coloured letters at a `pitch` of pixels on a near-black ground, under a status bar; noisy as
/// a JPEG re-save leaves it. `ragged` lines end where their text does, some are blank; else
/// the lines are rows of like dots, as a lattice of lamps is.
TestImage darkPhoneScreen(int pitch, bool ragged) {
  TestImage image(236, 512, 3, 12);
  image.fillRect(0, 0, 236, 18, 30, 30, 34);
  for (int y = 24; y < image.height; ++y) {
    const int line = (y - 24) / pitch, length = (line * 7 % 6) * 45;
    // Every third line green, as a prompt is.
    const std::uint8_t side = line % 3 == 0 ? 90 : 220;
    for (int x = 4; x < image.width - 4; ++x)
      if (ragged ? x - 4 < length && inkAt(x - 4, y - 24, pitch, true)
                 : (y - 24) % pitch < 4 && x % 6 < 3)
        image.set(x, y, side, 225, side);
  }
  return noisy(image, 3, 5);
}

float shapeOf(const TestImage &image) { return linemeasures::pageShape(ImagePlanes(image.view())); }

bool sheetInScene(const TestImage &image) {
  const ImagePlanes planes(image.view());
  return utilityclassifier::isSheetInScene(QualityMeasures::measure(image.view(), planes, 300));
}

/// Pale paper with letters at a 12-pixel pitch wherever `inside` holds, on `ground` (a scene
/// unless told).
template <typename Inside> TestImage paleShapeInScene(Inside inside, TestImage image = scene(7)) {
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if (inside(x, y)) {
        const std::uint8_t v = inkAt(x % 200, y, 12, true) ? 50 : 222;
        image.set(x, y, v, v, v);
      }
  return image;
}

bool darkScreen(const TestImage &image) {
  const ImagePlanes planes(image.view());
  return utilityclassifier::isDarkScreenText(QualityMeasures::measure(image.view(), planes, 300));
}

} // namespace

TEST(LineMeasures, pagesInASceneAndCropsOfTypeKeepTheirLinesRhythm) {
  for (const float degrees : {0.0f, 8.0f, -17.0f}) {
    const TestImage page = pageInScene(degrees, 12, true);
    EXPECT_GT(rhythmOf(page), 0.6f) << degrees;
    EXPECT_TRUE(linedPage(page)) << degrees;
  }
  // Close lines, as a receipt shows in a thumbnail, and the crops of type.
  EXPECT_GT(rhythmOf(pageInScene(4.0f, 7, true)), 0.6f);
  for (const int pitch : {9, 16}) {
    EXPECT_GT(rhythmOf(greyCrop(pitch)), 0.6f) << pitch;
    EXPECT_TRUE(linedPage(greyCrop(pitch))) << pitch;
  }
}

TEST(LineMeasures, scenesStripesAndScatteredMarksAreNoLinedPage) {
  EXPECT_EQ(rhythmOf(scene(7)), 0.0f);
  EXPECT_FALSE(linedPage(scene(7)));
  EXPECT_EQ(rhythmOf(noisePhoto(3)), 0.0f);
  // Blank paper holds no ink; a frame smaller than a block holds nothing to read.
  EXPECT_EQ(rhythmOf(TestImage(384, 191, 3, 220)), 0.0f);
  EXPECT_EQ(rhythmOf(TestImage(6, 6, 3, 220)), 0.0f);
  // Even rules without letters (blinds, a ruled pad): even, but no print spans the patch.
  EXPECT_FALSE(linedPage(pageInScene(5.0f, 12, false)));
  // The same marks scattered over paper rather than set in lines.
  TestImage scattered(384, 191, 3, 210);
  unsigned state = 12345;
  for (int i = 0; i < 400; ++i) {
    state = state * 1103515245u + 12345u;
    const int x = static_cast<int>((state >> 8) % 380);
    state = state * 1103515245u + 12345u;
    const int y = static_cast<int>((state >> 8) % 186);
    scattered.fillRect(x, y, 1, 5, 50, 50, 50);
  }
  EXPECT_LT(rhythmOf(scattered), 0.3f);
  EXPECT_FALSE(linedPage(scattered));
}

TEST(LineMeasures, darkScreensOfRaggedTextHaveTheirOwnRhythmButLatticesAndPagesNone) {
  for (const int pitch : {9, 14}) {
    const TestImage screen = darkPhoneScreen(pitch, true);
    EXPECT_GT(darkRhythmOf(screen), 0.5f) << pitch;
    EXPECT_EQ(rhythmOf(screen), 0.0f) << pitch;
    EXPECT_TRUE(darkScreen(screen)) << pitch;
    // Rows of like dots, as of lamps: even across the rows, but every row alike.
    EXPECT_LT(darkRhythmOf(darkPhoneScreen(pitch, false)), 0.3f) << pitch;
  }
  // A page's pale paper is no dark ground; a dim scene holds no crisp rows.
  EXPECT_EQ(darkRhythmOf(greyCrop(12)), 0.0f);
  EXPECT_FALSE(darkScreen(greyCrop(12)));
  EXPECT_FALSE(darkScreen(exposed(scene(7), 0.25f)));
  EXPECT_EQ(darkRhythmOf(TestImage(6, 6, 3, 10)), 0.0f);
}

TEST(LineMeasures, aSheetLyingInASceneIsAQuadrilateralWhereverItsLinesFallShort) {
  // Turned or not, with lines too close for their rhythm to show, or running off the top of
  // the frame: the sheet is nearly its own quadrilateral, and with letters on it a page.
  for (const float degrees : {0.0f, 13.0f, -28.0f}) {
    const TestImage page = pageInScene(degrees, 5, true);
    EXPECT_GT(shapeOf(page), 0.85f) << degrees;
    EXPECT_TRUE(sheetInScene(page)) << degrees;
  }
  EXPECT_GT(shapeOf(pageInScene(6.0f, 12, true, 256, 110)), 0.85f);
  EXPECT_TRUE(sheetInScene(pageInScene(6.0f, 12, true, 256, 110)));
}

TEST(LineMeasures, roundPatchesBandsAndWholeFramesOfPaperAreNoSheet) {
  EXPECT_EQ(shapeOf(scene(7)), 0.0f);
  EXPECT_FALSE(sheetInScene(scene(7)));
  // A pale disc in the scene: rounder than any sheet.
  const TestImage disc = paleShapeInScene(
      [](int x, int y) { return (x - 256) * (x - 256) + (y - 192) * (y - 192) < 130 * 130; });
  EXPECT_LT(shapeOf(disc), 0.7f);
  EXPECT_FALSE(sheetInScene(disc));
  // A pale band across the frame, as a wall or a road is, reaches two sides.
  EXPECT_EQ(shapeOf(paleShapeInScene([](int, int y) { return y >= 130 && y < 250; })), 0.0f);
  // Paper filling the frame leaves no scene; paper as pale as the scene does not stand out.
  EXPECT_EQ(shapeOf(greyCrop(12)), 0.0f);
  TestImage wood(512, 384, 3, 0);
  wood.fillRect(0, 0, 512, 384, 205, 172, 120);
  const TestImage onPaleWood = paleShapeInScene(
      [](int x, int y) { return x >= 150 && x < 360 && y >= 60 && y < 330; }, noisy(wood, 4, 9));
  EXPECT_GT(shapeOf(paleShapeInScene(
                [](int x, int y) { return x >= 150 && x < 360 && y >= 60 && y < 330; })),
            0.85f);
  EXPECT_EQ(shapeOf(onPaleWood), 0.0f);
  EXPECT_EQ(shapeOf(TestImage(6, 6, 3, 220)), 0.0f);
}
