#include "SyntheticImages.h"

#include "engine/analysis/FeaturePrint.h"
#include "engine/analysis/ImagePlanes.h"
#include "engine/analysis/QualityMeasures.h"
#include "engine/analysis/UnitLength.h"
#include "engine/analysis/UtilityClassifier.h"
#include "engine/analysis/VisionAnalyzer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace lumora;
using namespace analysistest;

namespace {

bool flagged(const TestImage &image) {
  auto result = VisionAnalyzer::analyze(image.view());
  EXPECT_TRUE(result.hasValue());
  return result.hasValue() && result.value().isUtility;
}

QualityMeasures measured(const TestImage &image) {
  const PixelView view = image.view();
  return QualityMeasures::measure(
      view, ImagePlanes(view),
      VisionAnalyzer::laplacianVariance(view, VisionAnalyzer::kSharpnessSide));
}

/// A smooth vertical gradient from `top` to `bottom`, as a clean camera leaves a clear sky
/// or fog: no noise, so every row is one exact colour.
TestImage gradient(int width, int height, const int top[3], const int bottom[3]) {
  TestImage image(width, height, 3);
  for (int y = 0; y < height; ++y) {
    std::uint8_t c[3];
    for (int i = 0; i < 3; ++i)
      c[i] = static_cast<std::uint8_t>(top[i] + (bottom[i] - top[i]) * y / height);
    image.fillRect(0, y, width, 1, c[0], c[1], c[2]);
  }
  return image;
}

/// A page of print on a dark desk, drawn by `ink(x, y)` on the page (0 for
/// paper, else the grey of the ink).
template <typename Ink> TestImage pageOnDesk(Ink ink) {
  TestImage desk(512, 384, 3);
  desk.fillRect(0, 0, 512, 384, 50, 44, 40);
  for (int y = 50; y < 340; ++y) {
    for (int x = 140; x < 380; ++x) {
      const int v = ink(x - 140, y - 50) > 0 ? ink(x - 140, y - 50) : 225;
      desk.set(x, y, static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v),
               static_cast<std::uint8_t>(v));
    }
  }
  return noisy(desk, 3, 11);
}

/// Lines of small print 5 pixels apart with gaps between words, in page coordinates (0 for
/// paper, else the grey of the ink).
int printLine(int x, int y) { return y % 5 < 2 && x % 6 < 4 && (x * 3 + y * 11) % 41 > 8 ? 45 : 0; }

/// A page `pageWidth` × `pageHeight` of printLine turned by `degrees` about its centre at
/// (cx, cy), on `desk`; the paper's grey is `paper` and the light tints it by `tint` (per
/// channel, in hundredths).
TestImage turnedPage(TestImage desk, double degrees, int cx, int cy, int pageWidth, int pageHeight,
                     const int tint[3]) {
  const double angle = degrees * 3.14159265358979 / 180.0;
  const double c = std::cos(angle), s = std::sin(angle);
  for (int y = 0; y < desk.height; ++y) {
    for (int x = 0; x < desk.width; ++x) {
      const double u = (x - cx) * c + (y - cy) * s + pageWidth / 2.0;
      const double v = -(x - cx) * s + (y - cy) * c + pageHeight / 2.0;
      if (u < 0 || v < 0 || u >= pageWidth || v >= pageHeight)
        continue;
      const bool margin = u < 12 || v < 12 || u >= pageWidth - 12 || v >= pageHeight - 12;
      const int ink = margin ? 0 : printLine(static_cast<int>(u), static_cast<int>(v));
      const int grey = ink > 0 ? ink : 228;
      desk.set(x, y, static_cast<std::uint8_t>(grey * tint[0] / 100),
               static_cast<std::uint8_t>(grey * tint[1] / 100),
               static_cast<std::uint8_t>(grey * tint[2] / 100));
    }
  }
  return noisy(blurred(desk, 1), 4, 3);
}

} // namespace

TEST(UtilityFlag, flagsAPageTurnedOnItsSide) {
  const int neutral[3] = {100, 100, 100};
  TestImage desk(512, 384, 3);
  desk.fillRect(0, 0, 512, 384, 70, 58, 48);
  // Half the frame, turned by 104°: its lines run down the frame at a slant.
  EXPECT_TRUE(flagged(turnedPage(desk, 104, 256, 192, 230, 300, neutral)));
}

TEST(UtilityFlag, leavesEvenStripesToPhotos) {
  // Paper ruled every fourteen rows without print, like a window blind, is no page.
  EXPECT_FALSE(flagged(pageOnDesk([](int, int y) { return y % 14 == 0 ? 100 : 0; })));
}

TEST(UtilityFlag, leavesCleanSkiesFogAndPlainGroundsToPhotos) {
  // A pyramid against a clear blue sky over a strip of sand.
  const int blue[3] = {40, 100, 200}, pale[3] = {170, 205, 240};
  TestImage pyramid = gradient(512, 384, blue, pale);
  for (int y = 150; y < 384; ++y) {
    for (int x = 0; x < 512; ++x) {
      const int half = (y - 150) * 3 / 2;
      if (y >= 320)
        pyramid.set(x, y, 200, 170, 120);
      else if (x >= 256 - half && x < 256)
        pyramid.set(x, y, 190, 160, 110);
      else if (x >= 256 && x < 256 + half)
        pyramid.set(x, y, 140, 115, 80);
    }
  }
  EXPECT_FALSE(flagged(pyramid));
  // A misty lake: grey fog, a far shore as one dark line, a jetty of planks into the mist.
  const int fogTop[3] = {196, 196, 196}, fogBottom[3] = {176, 176, 176};
  TestImage lake = gradient(512, 384, fogTop, fogBottom);
  lake.fillRect(0, 150, 512, 6, 120, 120, 120);
  for (int y = 180; y < 384; ++y) {
    const int half = 4 + (y - 180) * 40 / 204;
    lake.fillRect(256 - half, y, 2 * half, 1, 70, 70, 70);
  }
  EXPECT_FALSE(flagged(lake));
  // A stitched panorama: one smooth sky over a band of hills.
  TestImage panorama = gradient(1024, 300, blue, pale);
  for (int x = 0; x < 1024; ++x) {
    const int ridge = 190 + (x * 37 % 23);
    panorama.fillRect(x, ridge, 1, 300 - ridge, 60, 80, 50);
  }
  EXPECT_FALSE(flagged(noisy(panorama, 3, 5)));
}

/// Small shaded green balls, each a shade of its own, on pure black, with hard edges; about
/// half the frame stays black.
TestImage ballsOnBlack() {
  TestImage image(512, 384, 3);
  image.fillRect(0, 0, 512, 384, 0, 0, 0);
  int ball = 0;
  for (int cy = 6; cy < 384; cy += 12) {
    for (int cx = 6 + (cy / 12 % 2) * 6; cx < 512; cx += 12) {
      const int shade = 150 + (++ball * 37) % 90;
      for (int dy = -3; dy <= 3; ++dy) {
        for (int dx = -3; dx <= 3; ++dx) {
          const int d2 = dx * dx + dy * dy;
          if (d2 > 10 || cx + dx >= 512)
            continue;
          const int g = shade - 6 * d2 - 4 * (dx + dy);
          image.set(cx + dx, cy + dy, static_cast<std::uint8_t>(g / 4),
                    static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(g / 5));
        }
      }
    }
  }
  return image;
}

TEST(UtilityFlag, leavesSoftLightsOnBlackToPhotos) {
  // Balls on black softened as a lens and compression soften a night photo's lights.
  EXPECT_FALSE(flagged(blurred(ballsOnBlack(), 1)));
}

/// A night scene nearly all black: dark trunks and undergrowth a few grey levels above black,
/// lit windows here and there, softened by the lens. Compression leaves such dark greys in a
/// few exact levels, as a window's panels are.
TestImage nightScene() {
  TestImage image(512, 384, 3);
  for (int y = 0; y < 384; ++y) {
    for (int x = 0; x < 512; ++x) {
      const bool trunk = x % 53 < 9 + (x / 53) % 7;
      const bool undergrowth = y > 250 && (x * 7 + y * 13) % 17 < 4;
      const auto v = static_cast<std::uint8_t>(trunk ? 12 : undergrowth ? 9 : 0);
      image.set(x, y, v, v, v);
    }
  }
  for (int i = 0; i < 24; ++i)
    image.fillRect(20 + i * 97 % 470, 120 + i * 61 % 240, 5, 7, 150, 120, 80);
  return blurred(image, 1);
}

TEST(UtilityFlag, leavesNearlyBlackNightScenesToPhotos) { EXPECT_FALSE(flagged(nightScene())); }

TEST(UtilityFlag, measuresHowFullyPrintFillsTheBoxAroundIt) {
  // A page of lines: its print fills most of the box around it.
  const QualityMeasures page = measured(pageOnDesk(printLine));
  EXPECT_GT(page.printPatchFill, 0.6f);
  // The same lines only along a ring of pale ground around a dark dish: the print lies together
  // through the ground, but covers a small part of the wide box around it.
  const QualityMeasures ring = measured(pageOnDesk([](int x, int y) {
    const int dx = x - 120, dy = y - 145, r2 = dx * dx + dy * dy;
    if (r2 < 90 * 90)
      return 60;
    return r2 < 104 * 104 ? printLine(x, y) : 0;
  }));
  EXPECT_GE(ring.printPatchSpan, 4.0f);
  EXPECT_LT(ring.printPatchFill, 0.3f);
}

TEST(UtilityFlag, flagsABlankWindowButNotBlownSkiesOrSnow) {
  // An empty white table: a header's thin rule and a few rows of small dark lettering.
  TestImage table(512, 320, 3, 255);
  table.fillRect(0, 8, 512, 1, 160, 160, 160);
  for (int y = 12; y < 60; ++y) {
    for (int x = 4; x < 120; ++x) {
      if (y % 8 < 3 && x % 5 < 3 && (x / 30 + y / 8) % 4 != 0)
        table.set(x, y, 30, 30, 30);
    }
  }
  const QualityMeasures window = measured(table);
  EXPECT_GT(window.blankFlat, 0.8f);
  EXPECT_LT(window.blankFringe, 0.04f);
  EXPECT_TRUE(flagged(table));
  // A sky blown white over most of the frame fades through pale greys into a dark ground.
  TestImage sky(512, 384, 3);
  for (int y = 0; y < 384; ++y) {
    const auto v = static_cast<std::uint8_t>(std::clamp(255 - (y - 280), 60, 255));
    sky.fillRect(0, y, 512, 1, v, v, v);
  }
  const QualityMeasures blown = measured(sky);
  EXPECT_GT(blown.blankFlat, 0.7f);
  EXPECT_GT(blown.blankFringe, 0.04f);
  // Snow in sunlight: bright, clipped in places, but never exactly flat.
  const QualityMeasures snow = measured(noisy(TestImage(512, 384, 3, 248), 8, 5));
  EXPECT_LT(snow.blankFlat, 0.2f);
  EXPECT_FALSE(flagged(noisy(TestImage(512, 384, 3, 248), 8, 5)));
}

TEST(UtilityFlag, flagsASmallDialogOnAnEmptyDesktopButNotThatDesktopPhotographed) {
  // Most of the frame is the desktop's one grey; the dialog's icon tints it a little.
  for (const std::uint8_t desktop : {51, 120, 200}) {
    const TestImage dialog = dialogOnDesktop(desktop);
    EXPECT_TRUE(flagged(dialog)) << int(desktop);
    const QualityMeasures m = measured(dialog);
    EXPECT_TRUE(utilityclassifier::isBoxedWindow(m)) << int(desktop);
    EXPECT_EQ(utilityclassifier::documentWeight(m), 1.0f) << int(desktop);
  }
  // A camera's grain breaks the desktop's one grey: no box of panels on a flat surround.
  EXPECT_FALSE(utilityclassifier::isBoxedWindow(measured(noisy(dialogOnDesktop(51), 4, 5))));
}

TEST(UtilityFlag, aColouredDialogLiesCloseToItselfHoweverACopyMovesTheTreesMargin) {
  // A dialog on a tinted desktop, too colourful for the boxed-window rule: the trees alone flag
  // it, with a margin on the ramp of the layout's weight.
  TestImage dialog = dialogOnDesktop(51);
  for (int y = 0; y < dialog.height; ++y)
    for (int x = 0; x < dialog.width; ++x)
      if (dialog.at(x, y)[0] == 51 && dialog.at(x, y)[2] == 51)
        dialog.set(x, y, 38, 54, 82);
  const ImagePlanes planes(dialog.view());
  const QualityMeasures original = measured(dialog);
  ASSERT_FALSE(utilityclassifier::isBoxedWindow(original));
  // A JPEG copy of it keeps its pixels all but a level, yet moves what the trees read: sharper
  // detail, a few more marks, edges and letters, fewer exact colours.
  QualityMeasures copy = original;
  copy.sharpness *= 1.1f;
  copy.printedText += 0.0055f;
  copy.markLines += 0.003f;
  copy.straightEdges += 0.0035f;
  copy.dominantColours -= 0.007f;
  const auto ramp = [](const QualityMeasures &m) {
    return utilityclassifier::marginWeight(
        utilityclassifier::margin(utilityclassifier::features(m)));
  };
  // Weighed by their margins the two would lie about 0.45 apart.
  ASSERT_GT(std::abs(ramp(copy) - ramp(original)), 0.25f);
  const auto vectorOf = [&planes](const QualityMeasures &m) {
    std::vector<float> v = featureprint::compute(planes, utilityclassifier::documentWeight(m));
    normalise(v);
    return v;
  };
  const std::vector<float> a = vectorOf(original), b = vectorOf(copy);
  double squares = 0;
  for (std::size_t i = 0; i < a.size(); ++i)
    squares += (a[i] - b[i]) * (a[i] - b[i]);
  EXPECT_LT(std::sqrt(squares), 0.02);
  EXPECT_EQ(utilityclassifier::documentWeight(original), 1.0f);
}
