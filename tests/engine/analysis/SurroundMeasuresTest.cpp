#include "SyntheticImages.h"

#include "engine/analysis/ImagePlanes.h"
#include "engine/analysis/SurroundMeasures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace lumora;
using namespace analysistest;

namespace {

float boxedPanelsOf(const TestImage &image) {
  return surroundmeasures::boxedPanels(ImagePlanes(image.view()));
}

/// Shaded solids on a plain backdrop, as a render shows them: a diamond and a triangle, which
/// touch the box around them at a few points only.
TestImage renderOnBackdrop() {
  TestImage image(512, 384, 3, 70);
  for (int y = 0; y < 384; ++y) {
    for (int x = 0; x < 512; ++x) {
      const int d = std::abs(x - 180) + std::abs(y - 170);
      if (d < 90)
        image.set(x, y, static_cast<std::uint8_t>(150 + d), 150, 150);
      if (y > 180 && y < 300 && std::abs(x - 340) < (y - 180) / 2)
        image.set(x, y, 200, static_cast<std::uint8_t>(y - 60), 200);
    }
  }
  return image;
}

} // namespace

TEST(SurroundMeasures, aDialogOnAnEmptyDesktopIsABoxOfPanelsHoweverItIsSaved) {
  const TestImage dialog = dialogOnDesktop(51);
  const float original = boxedPanelsOf(dialog);
  EXPECT_GT(original, 0.5f);
  // The window manager's grips below the corners stretch the box by two pixels.
  TestImage grips = dialog;
  grips.fillRect(166, 175, 6, 2, 90, 90, 90);
  grips.fillRect(340, 175, 6, 2, 90, 90, 90);
  EXPECT_NEAR(boxedPanelsOf(grips), original, 0.05f);
  // A re-save wobbles the desktop by a level and rings a pixel wide around the window.
  TestImage resaved = noisy(dialog, 1, 3);
  resaved.fillRect(165, 113, 182, 1, 56, 56, 56);
  resaved.fillRect(165, 175, 182, 1, 47, 47, 47);
  EXPECT_GT(boxedPanelsOf(resaved), 0.2f);
}

TEST(SurroundMeasures, rendersMountsAndOpenFramesHoldNoBoxOfPanels) {
  // Objects on a backdrop leave most of their box's outline to the backdrop.
  EXPECT_EQ(boxedPanelsOf(renderOnBackdrop()), 0.0f);
  // A photograph in a plain mount fills its box, but its grain leaves far fewer pixels as
  // flat as a panel (the rule also wants nearly the whole frame exactly flat).
  TestImage mounted(512, 384, 3, 128);
  const TestImage photo = scene(4, 400, 300);
  for (int y = 0; y < photo.height; ++y)
    std::copy(photo.at(0, y), photo.at(0, y) + 3 * photo.width, mounted.at(56, 42 + y));
  EXPECT_LT(boxedPanelsOf(mounted), boxedPanelsOf(dialogOnDesktop(51)) - 0.3f);
  // A photograph has no one-grey edge; a desktop with a panel along one side has none either.
  EXPECT_EQ(boxedPanelsOf(scene(5)), 0.0f);
  TestImage panelled = dialogOnDesktop(51);
  panelled.fillRect(0, 260, 512, 28, 30, 30, 30);
  EXPECT_EQ(boxedPanelsOf(panelled), 0.0f);
  // An empty desktop holds no box; nor does a frame too small to have one.
  EXPECT_EQ(boxedPanelsOf(TestImage(512, 288, 3, 51)), 0.0f);
  EXPECT_EQ(boxedPanelsOf(TestImage(6, 6, 3, 51)), 0.0f);
}
