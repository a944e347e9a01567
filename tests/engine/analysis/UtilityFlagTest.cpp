#include "SyntheticImages.h"

#include "engine/analysis/VisionAnalyzer.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace lumora;
using namespace analysistest;

namespace {

bool flagged(const TestImage &image) {
  auto result = VisionAnalyzer::analyze(image.view());
  EXPECT_TRUE(result.hasValue());
  return result.hasValue() && result.value().isUtility;
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

/// A page of print lines on a dark desk, lit by a lamp that tints it by `tint` (per channel,
/// in hundredths).
TestImage tintedPage(const int tint[3]) {
  TestImage desk(512, 384, 3);
  desk.fillRect(0, 0, 512, 384, 50, 44, 40);
  for (int y = 60; y < 330; ++y) {
    for (int x = 150; x < 370; ++x) {
      const bool stroke = (y - 60) % 9 < 2 && (x - 150) % 9 < 6 && (x + 13 * y / 9) % 53 > 6;
      const int v = stroke ? 50 : 225 - 40 * (x - 150) / 220;
      desk.set(x, y, static_cast<std::uint8_t>(v * tint[0] / 100),
               static_cast<std::uint8_t>(v * tint[1] / 100),
               static_cast<std::uint8_t>(v * tint[2] / 100));
    }
  }
  return noisy(desk, 6, 11);
}

/// A page of print on a dark desk (as tintedPage), drawn by `ink(x, y)` on the page (0 for
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

} // namespace

TEST(UtilityFlag, flagsRuledTablesButNotEvenStripes) {
  // A table of small figures between rules every fourteen rows, ruled in columns: too few
  // of its blocks read as plain lines of print, the rules beside the figures being darker.
  EXPECT_TRUE(flagged(pageOnDesk([](int x, int y) {
    if (y % 14 == 0 || x % 80 == 0)
      return 100;
    const bool figure = y % 14 >= 4 && y % 14 < 8 && x % 80 > 6 && x % 80 < 66;
    return figure && x % 4 < 2 && (x * 7 + y) % 19 > 4 ? 40 : 0;
  })));
  // The same rules without figures: paper ruled like a window blind is no page of print.
  EXPECT_FALSE(flagged(pageOnDesk([](int, int y) { return y % 14 == 0 ? 100 : 0; })));
}

TEST(UtilityFlag, flagsPagesUnderAColouredLamp) {
  const int warm[3] = {100, 90, 66}, cool[3] = {82, 92, 100};
  EXPECT_TRUE(flagged(tintedPage(warm)));
  EXPECT_TRUE(flagged(tintedPage(cool)));
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
