#include "SyntheticImages.h"

#include "engine/analysis/FeaturePrint.h"
#include "engine/analysis/ImagePlanes.h"
#include "engine/analysis/PageLayout.h"
#include "engine/analysis/UnitLength.h"
#include "engine/analysis/VisionAnalyzer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace lumora;
using namespace analysistest;

namespace {

ImageAnalysis analysed(const TestImage &image) {
  auto result = VisionAnalyzer::analyze(image.view());
  EXPECT_TRUE(result.hasValue());
  return result.hasValue() ? result.value() : ImageAnalysis{};
}

float distance(const ImageAnalysis &a, const ImageAnalysis &b) {
  float dot = 0;
  for (std::size_t i = 0; i < a.feature.size(); ++i)
    dot += a.feature[i] * b.feature[i];
  const float x = 2 - 2 * dot;
  return x > 0 ? std::sqrt(x) : 0.0f;
}

float length(const std::vector<float> &v) {
  double sum = 0;
  for (float x : v)
    sum += static_cast<double>(x) * x;
  return static_cast<float>(std::sqrt(sum));
}

TestImage greyPattern(int side, int (*value)(int x, int y)) {
  TestImage image(side, side, 1);
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x)
      image.at(x, y)[0] = static_cast<std::uint8_t>(value(x, y));
  }
  return image;
}

} // namespace

TEST(LaplacianVariance, exactOnKnownPatterns) {
  const TestImage flat = greyPattern(256, [](int, int) { return 128; });
  EXPECT_EQ(VisionAnalyzer::laplacianVariance(flat.view(), 256), 0.0f);

  // Every interior Laplacian of a one-pixel checkerboard is ±1020, half of each sign.
  const TestImage checker = greyPattern(256, [](int x, int y) { return (x + y) % 2 ? 255 : 0; });
  EXPECT_EQ(VisionAnalyzer::laplacianVariance(checker.view(), 256), 1020.0f * 1020.0f);

  const TestImage stripes = greyPattern(256, [](int x, int) { return x % 2 ? 255 : 0; });
  EXPECT_EQ(VisionAnalyzer::laplacianVariance(stripes.view(), 256), 510.0f * 510.0f);

  // One bright pixel: L = −800 there and +200 at its four neighbours, mean 0.
  const TestImage dot =
      greyPattern(256, [](int x, int y) { return x == 100 && y == 80 ? 200 : 0; });
  EXPECT_EQ(VisionAnalyzer::laplacianVariance(dot.view(), 256),
            static_cast<float>(20.0 * 200 * 200 / (254.0 * 254.0)));
}

TEST(LaplacianVariance, sideTwoAndUnreadableInputGiveZero) {
  const TestImage checker = greyPattern(64, [](int x, int y) { return (x + y) % 2 ? 255 : 0; });
  EXPECT_EQ(VisionAnalyzer::laplacianVariance(checker.view(), 2), 0.0f);
  EXPECT_EQ(VisionAnalyzer::laplacianVariance(checker.view(), 1), 0.0f);
  EXPECT_EQ(VisionAnalyzer::laplacianVariance(PixelView{}, 256), 0.0f);
  EXPECT_GT(VisionAnalyzer::laplacianVariance(checker.view(), 64), 1e5f);
}

TEST(LaplacianVariance, transparentAreasRenderBlack) {
  TestImage opaque(64, 64, 4, 255);
  EXPECT_EQ(VisionAnalyzer::laplacianVariance(opaque.view(), 256), 0.0f);
  TestImage windowed(64, 64, 4, 255);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x)
      windowed.at(x, y)[3] = (x / 16 + y / 16) % 2 ? 255 : 0;
  }
  EXPECT_GT(VisionAnalyzer::laplacianVariance(windowed.view(), 256), 50.0f);
}

TEST(LaplacianVariance, blurLowersSharpness) {
  const TestImage photo = scene(3);
  EXPECT_LT(VisionAnalyzer::laplacianVariance(blurred(photo, 2).view(), 256),
            0.5f * VisionAnalyzer::laplacianVariance(photo.view(), 256));
}

TEST(VisionAnalyzer, unreadableInputFailsWithTheRootPath) {
  const std::uint8_t byte = 0;
  for (const PixelView &bad :
       {PixelView{}, PixelView{0, 5, 3, &byte, 0}, PixelView{1, 1, 5, &byte, 0},
        PixelView{4, 4, 3, nullptr, 0}, PixelView{4, 4, 3, &byte, 5}}) {
    const auto result = VisionAnalyzer::analyze(bad);
    ASSERT_FALSE(result.hasValue());
    EXPECT_EQ(result.error(), CuratorError::unreadable(QUrl::fromLocalFile("/")));
  }
}

TEST(VisionAnalyzer, degenerateImagesGiveFiniteDeterministicResults) {
  TestImage red(40, 30, 3);
  red.fillRect(0, 0, 40, 30, 200, 30, 30);
  TestImage tall = scene(5, 3, 700);
  const std::vector<TestImage> images = {TestImage(64, 64, 3, 128),
                                         TestImage(64, 64, 3, 0),
                                         TestImage(1, 1, 3, 77),
                                         TestImage(1, 1, 1, 255),
                                         TestImage(2, 2, 2, 0),
                                         red,
                                         tall,
                                         noisePhoto(9)};
  for (const TestImage &image : images) {
    const ImageAnalysis first = analysed(image);
    EXPECT_EQ(first, analysed(image));
    ASSERT_EQ(first.feature.size(), featureprint::length());
    for (float v : first.feature)
      ASSERT_TRUE(std::isfinite(v));
    EXPECT_TRUE(std::isfinite(first.score));
    EXPECT_GE(first.score, -1.0f);
    EXPECT_LE(first.score, 1.0f);
    EXPECT_TRUE(std::isfinite(first.sharpness));
    EXPECT_GE(first.sharpness, 0.0f);
    const float len = length(first.feature);
    EXPECT_TRUE(len == 0.0f || std::abs(len - 1.0f) < 1e-5f) << len;
  }
  // A featureless frame has nothing to compare: its vector stays all zero.
  EXPECT_EQ(length(analysed(images[0]).feature), 0.0f);
  EXPECT_NEAR(length(analysed(red).feature), 1.0f, 1e-5f);
}

TEST(VisionAnalyzer, normaliseLeavesTinyAndEmptyVectors) {
  std::vector<float> v = {3, 4};
  normalise(v);
  EXPECT_FLOAT_EQ(v[0], 0.6f);
  EXPECT_FLOAT_EQ(v[1], 0.8f);
  std::vector<float> tiny = {1e-7f, 0};
  normalise(tiny);
  EXPECT_EQ(tiny[0], 1e-7f);
  std::vector<float> empty;
  normalise(empty);
  EXPECT_TRUE(empty.empty());
}

TEST(VisionAnalyzer, degradedCopiesStayNearAndScoreLower) {
  const ImageAnalysis original = analysed(scene(11));
  const ImageAnalysis soft = analysed(blurred(scene(11), 1));
  const ImageAnalysis dark = analysed(exposed(scene(11), 0.35f));
  const ImageAnalysis blown = analysed(exposed(scene(11), 1.25f));
  const ImageAnalysis grainy = analysed(noisy(scene(11), 12, 5));
  const ImageAnalysis moved = analysed(shifted(scene(11), 8));
  EXPECT_LT(distance(original, soft), 0.30f);
  EXPECT_LT(distance(original, dark), 0.30f);
  EXPECT_LT(distance(original, blown), 0.30f);
  EXPECT_LT(distance(original, grainy), 0.30f);
  EXPECT_LT(distance(original, moved), 0.30f);
  // Each degraded copy loses more than the half displayed point within which the best-photo
  // choice would prefer a sharper-looking copy.
  EXPECT_LT(soft.score, original.score);
  EXPECT_LT(dark.score, original.score - 0.1f);
  EXPECT_LT(blown.score, original.score - 0.1f);
  EXPECT_LT(grainy.score, original.score - 0.1f);
  EXPECT_LT(soft.sharpness, original.sharpness);
}

TEST(VisionAnalyzer, unrelatedScenesAreFarApart) {
  for (unsigned seed = 20; seed < 26; ++seed) {
    EXPECT_GT(distance(analysed(scene(seed)), analysed(scene(seed + 100))), 0.55f) << seed;
  }
}

TEST(VisionAnalyzer, flagsScreenshotsAndPagesButNotPhotos) {
  EXPECT_TRUE(analysed(screenshot()).isUtility);
  EXPECT_TRUE(analysed(documentPage()).isUtility);
  EXPECT_FALSE(analysed(noisePhoto(4)).isUtility);
  EXPECT_FALSE(analysed(scene(4)).isUtility);
  // A blown-out frame and a flat drawing of curved shapes have flat exact colours too.
  EXPECT_FALSE(analysed(exposed(scene(4), 8.0f)).isUtility);
  TestImage drawing(512, 384, 3, 30);
  for (int y = 0; y < 384; ++y) {
    for (int x = 0; x < 512; ++x) {
      const int dx = x - 256, dy = y - 192;
      if (dx * dx + 2 * dy * dy < 150 * 150)
        drawing.set(x, y, 240, 120, 20);
    }
  }
  EXPECT_FALSE(analysed(drawing).isUtility);
}

namespace {

/// Sixty round stars on a sky of grey `night`.
TestImage starrySky(std::uint8_t night) {
  TestImage sky(512, 384, 3, night);
  for (int star = 0; star < 60; ++star) {
    const int cx = 20 + (star * 97) % 470, cy = 20 + (star * 61) % 340, r = 1 + star % 3;
    for (int dy = -r; dy <= r; ++dy) {
      for (int dx = -r; dx <= r; ++dx) {
        if (dx * dx + dy * dy <= r * r)
          sky.set(cx + dx, cy + dy, 230, 230, 250);
      }
    }
  }
  return sky;
}

} // namespace

TEST(VisionAnalyzer, leavesStripedPhotosUnflagged) {
  // Grey planks: bands as regular as lines of print, but even along their length.
  TestImage planks(512, 384, 3);
  for (int y = 0; y < 384; ++y) {
    const auto v = static_cast<std::uint8_t>(y % 9 < 2 ? 70 : 200);
    planks.fillRect(0, y, 512, 1, v, v, v);
  }
  EXPECT_FALSE(analysed(noisy(planks, 6, 5)).isUtility);
}

TEST(VisionAnalyzer, flagsMostlyEmptyWindowsButNotBlankFrames) {
  // A dark window showing an empty folder: a header bar and a sidebar, nothing else.
  TestImage window(512, 320, 3, 36);
  window.fillRect(0, 0, 512, 28, 48, 48, 48);
  window.fillRect(150, 28, 1, 292, 64, 64, 64);
  window.fillRect(10, 8, 60, 12, 90, 90, 90);
  EXPECT_TRUE(analysed(window).isUtility);
  // The same tones as a dark photograph: noise breaks every exact colour.
  EXPECT_FALSE(analysed(noisy(window, 4, 6)).isUtility);
  // A frame photographed with the lens covered.
  EXPECT_FALSE(analysed(noisy(TestImage(512, 384, 3, 20), 3, 7)).isUtility);
  // A sky chart, pure black but for round stars, and a photograph of the night sky.
  EXPECT_TRUE(analysed(starrySky(0)).isUtility);
  EXPECT_FALSE(analysed(noisy(starrySky(14), 5, 8)).isUtility);
}

namespace {

void paste(const TestImage &image, TestImage &into, int x0, int y0) {
  for (int y = 0; y < image.height; ++y) {
    std::copy(image.at(0, y), image.at(0, y) + 3 * image.width, into.at(x0, y0 + y));
  }
}

} // namespace

TEST(VisionAnalyzer, flagsWindowsFramingAPhotoButNotAMountOrACleanHorizon) {
  // A photo editor: title, menu and status bars and a toolbox of icons around the photo.
  TestImage editor(512, 384, 3, 58);
  editor.fillRect(0, 0, 512, 22, 40, 40, 40);
  editor.fillRect(0, 22, 512, 18, 52, 52, 52);
  for (int i = 0; i < 6; ++i)
    editor.fillRect(8 + 56 * i, 27, 34, 8, 200, 200, 200);
  editor.fillRect(0, 362, 512, 22, 45, 45, 45);
  editor.fillRect(0, 40, 64, 322, 48, 48, 48);
  for (int i = 0; i < 24; ++i) {
    editor.fillRect(6 + 20 * (i % 3), 48 + 20 * (i / 3), 14, 14, 90 + 6 * i, 140, 200 - 5 * i);
  }
  const TestImage photo = scene(4, 400, 300);
  paste(photo, editor, 88, 52);
  EXPECT_TRUE(analysed(editor).isUtility);
  // The same photo in a plain grey mount: its border is flat too, but all of one grey.
  TestImage mounted(512, 384, 3, 128);
  paste(photo, mounted, 56, 42);
  EXPECT_FALSE(analysed(mounted).isUtility);
  // A noise-free sea under a sky, both smooth gradients, split by a straight horizon: flat
  // along the edges only within a level or two.
  TestImage sea(512, 384, 3);
  for (int y = 0; y < 384; ++y) {
    for (int x = 0; x < 512; ++x) {
      const auto shade = static_cast<std::uint8_t>((x / 24 + y / 4) / 2);
      if (y < 200)
        sea.set(x, y, 40 + shade, 90 + shade, 230);
      else
        sea.set(x, y, 30, 60 + shade, 90 + shade);
    }
  }
  EXPECT_FALSE(analysed(sea).isUtility);
}

TEST(VisionAnalyzer, blurredCopyOfASmoothFrameWithFaintGrainScoresLower) {
  // Mist or a storm sky: little detail, faint grain. Blurring loses the grain with the detail;
  // the grain must not count as the original's fault.
  for (unsigned seed : {7u, 8u}) {
    const TestImage smooth = noisy(blurred(scene(seed), 10), 1, seed);
    const ImageAnalysis original = analysed(smooth);
    const ImageAnalysis soft = analysed(blurred(smooth, 2));
    EXPECT_LT(soft.score, original.score) << seed;
  }
}

TEST(FeaturePrint, paletteAndTextureIgnoreWhereThingsAre) {
  // A mirrored frame has the same colours and local patterns in other places; another scene
  // has others.
  const TestImage original = scene(12, 384, 384);
  TestImage mirrored = original;
  for (int y = 0; y < original.height; ++y) {
    for (int x = 0; x < original.width; ++x) {
      const std::uint8_t *p = original.at(original.width - 1 - x, y);
      mirrored.set(x, y, p[0], p[1], p[2]);
    }
  }
  const auto a = featureprint::blocks(ImagePlanes(original.view()));
  const auto b = featureprint::blocks(ImagePlanes(mirrored.view()));
  const auto other = featureprint::blocks(ImagePlanes(scene(13, 384, 384).view()));
  for (auto block : {featureprint::Block::palette, featureprint::Block::texture}) {
    const auto i = static_cast<std::size_t>(block);
    float same = 0, different = 0;
    for (std::size_t k = 0; k < a[i].size(); ++k) {
      same += std::abs(a[i][k] - b[i][k]);
      different += std::abs(a[i][k] - other[i][k]);
    }
    EXPECT_LT(same, 0.02f) << i;
    EXPECT_GT(different, 0.2f) << i;
  }
}

TEST(FeaturePrint, edgesKeepTheirSharesInADarkerExposure) {
  // An underexposed copy has the same edges, only fainter: their shares must not sink under
  // the cells' floor.
  const TestImage original = scene(14, 384, 384);
  const auto a = featureprint::blocks(ImagePlanes(original.view()));
  const auto b = featureprint::blocks(ImagePlanes(exposed(original, 0.3f).view()));
  for (auto block : {featureprint::Block::edges, featureprint::Block::coarseEdges}) {
    const auto i = static_cast<std::size_t>(block);
    float dot = 0, aa = 0, bb = 0;
    for (std::size_t k = 0; k < a[i].size(); ++k) {
      dot += a[i][k] * b[i][k];
      aa += a[i][k] * a[i][k];
      bb += b[i][k] * b[i][k];
    }
    EXPECT_GT(dot / std::sqrt(aa * bb), 0.97f) << i;
    EXPECT_NEAR(std::sqrt(bb), std::sqrt(aa), 0.05f) << i;
  }
}

TEST(FeaturePrint, learnedProjectionFollowsTheUnitBlocksAndTheLayoutComesLast) {
  // The weighted blocks at unit length and their projection, scaled to unit length together,
  // then the page layout weighed by the document weight: a photograph's layout entries are
  // zero, a blank frame keeps an all-zero vector.
  const ImagePlanes planes(scene(15, 384, 288).view());
  const std::vector<float> vector = featureprint::compute(planes, 0.0f);
  ASSERT_EQ(vector.size(), featureprint::length());
  std::vector<float> blocks =
      featureprint::combine(featureprint::blocks(planes), featureprint::defaultWeights());
  ASSERT_EQ(blocks.size(), featureprint::combinedLength());
  normalise(blocks);
  const std::size_t layoutStart = featureprint::length() - pagelayout::kLength;
  const std::vector<float> head(vector.begin(), vector.begin() + layoutStart);
  EXPECT_NEAR(length(head), 1.0f, 1e-5f);
  const float scale = vector[0] / blocks[0];
  for (std::size_t i = 0; i < blocks.size(); ++i)
    ASSERT_NEAR(vector[i], blocks[i] * scale, 1e-6f) << i;
  EXPECT_LT(scale, 1.0f); // the projection has a share of the length
  for (std::size_t i = layoutStart; i < vector.size(); ++i)
    ASSERT_EQ(vector[i], 0.0f) << i;
  const std::vector<float> page = featureprint::compute(planes, 1.0f);
  const std::vector<float> layout(page.begin() + layoutStart, page.end());
  EXPECT_NEAR(length(layout), std::sin(featureprint::kLayoutAngle), 1e-3f);
  for (std::size_t i = 0; i < layoutStart; ++i)
    ASSERT_NEAR(page[i], vector[i] * std::cos(featureprint::kLayoutAngle), 1e-6f) << i;
  const std::vector<float> blank =
      featureprint::compute(ImagePlanes(TestImage(64, 64, 3, 0).view()), 1.0f);
  EXPECT_EQ(length(blank), 0.0f);
}

TEST(FeaturePrint, borderRingFollowsTheSurroundingsNotTheSubject) {
  // A subject moving across the middle of one backdrop leaves the ring as it was, while the
  // edges of the centre crop follow it; the same subject before another backdrop changes it.
  const TestImage subject = scene(16, 96, 96);
  auto blocksOf = [&](unsigned backdrop, int x) {
    TestImage frame = scene(backdrop, 384, 288);
    paste(subject, frame, x, 90);
    return featureprint::blocks(ImagePlanes(frame.view()));
  };
  auto apart = [](const auto &a, const auto &b, featureprint::Block block) {
    const auto i = static_cast<std::size_t>(block);
    float sum = 0;
    for (std::size_t k = 0; k < a[i].size(); ++k)
      sum += (a[i][k] - b[i][k]) * (a[i][k] - b[i][k]);
    return std::sqrt(sum);
  };
  const auto before = blocksOf(17, 110), moved = blocksOf(17, 190), elsewhere = blocksOf(18, 110);
  EXPECT_LT(apart(before, moved, featureprint::Block::borderRing), 0.1f);
  EXPECT_GT(apart(before, moved, featureprint::Block::edges), 0.2f);
  EXPECT_GT(apart(before, elsewhere, featureprint::Block::borderRing), 0.5f);
}
