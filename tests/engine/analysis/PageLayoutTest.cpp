#include "SyntheticImages.h"

#include "engine/analysis/FeaturePrint.h"
#include "engine/analysis/ImagePlanes.h"
#include "engine/analysis/PageLayout.h"
#include "engine/analysis/UnitLength.h"
#include "engine/analysis/UtilityClassifier.h"
#include "engine/analysis/VisionAnalyzer.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace lumora;
using namespace analysistest;

namespace {

/// A page of print: lines of word strokes whose lengths, indents and paragraph breaks `seed`
/// chooses, in `ink` on `paper`.
TestImage printedPage(unsigned seed, std::uint8_t ink = 20, std::uint8_t paper = 250) {
  TestImage page(384, 512, 3, paper);
  unsigned state = seed * 2654435761u + 12345u;
  const auto next = [&state](unsigned n) {
    state = state * 1664525u + 1013904223u;
    return static_cast<int>((state >> 8) % n);
  };
  for (int y = 36; y < 476; y += 12) {
    if (next(5) == 0)
      continue; // a paragraph break
    const int end = 354 - next(220);
    for (int x = next(4) == 0 ? 70 : 30; x < end; x += 8 + next(4))
      page.fillRect(x, y, 5, 3, ink, ink, ink);
  }
  return page;
}

/// A copy scaled by `factor`, each pixel sampled bilinearly.
TestImage resized(const TestImage &image, float factor) {
  const int w = static_cast<int>(image.width * factor), h = static_cast<int>(image.height * factor);
  TestImage out(w, h, image.bands);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const float sx = std::min(x / factor, image.width - 1.001f);
      const float sy = std::min(y / factor, image.height - 1.001f);
      const int x0 = static_cast<int>(sx), y0 = static_cast<int>(sy);
      const float fx = sx - x0, fy = sy - y0;
      for (int b = 0; b < image.bands; ++b) {
        const float v =
            (1 - fy) * ((1 - fx) * image.at(x0, y0)[b] + fx * image.at(x0 + 1, y0)[b]) +
            fy * ((1 - fx) * image.at(x0, y0 + 1)[b] + fx * image.at(x0 + 1, y0 + 1)[b]);
        out.at(x, y)[b] = static_cast<std::uint8_t>(v + 0.5f);
      }
    }
  }
  return out;
}

std::vector<float> layoutOf(const TestImage &image) {
  return pagelayout::describe(ImagePlanes(image.view()).small());
}

float apart(const std::vector<float> &a, const std::vector<float> &b) {
  double sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i)
    sum += (a[i] - b[i]) * (a[i] - b[i]);
  return static_cast<float>(std::sqrt(sum));
}

float distance(const TestImage &a, const TestImage &b) {
  const auto fa = VisionAnalyzer::analyze(a.view()), fb = VisionAnalyzer::analyze(b.view());
  double dot = 0;
  for (std::size_t i = 0; i < fa.value().feature.size(); ++i)
    dot += fa.value().feature[i] * fb.value().feature[i];
  return static_cast<float>(std::sqrt(std::max(0.0, 2 - 2 * dot)));
}

} // namespace

TEST(PageLayout, placesPrintNotItsThemeOrSize) {
  std::vector<std::vector<float>> pages;
  for (unsigned seed = 1; seed <= 5; ++seed)
    pages.push_back(layoutOf(printedPage(seed)));
  for (std::size_t i = 0; i < pages.size(); ++i) {
    ASSERT_EQ(pages[i].size(), pagelayout::kLength);
    for (std::size_t j = i + 1; j < pages.size(); ++j)
      EXPECT_GT(apart(pages[i], pages[j]), 0.6f) << i << " " << j;
  }
  // A smaller, noisier copy and the same page in a dark theme keep the layout.
  EXPECT_LT(apart(pages[0], layoutOf(noisy(resized(printedPage(1), 0.85f), 4, 7))), 0.2f);
  EXPECT_LT(apart(pages[0], layoutOf(printedPage(1, 230, 30))), 0.15f);
  // A blank frame and a single pixel have no layout at all.
  for (const auto &blank : {layoutOf(TestImage(200, 100, 3, 255)), layoutOf(TestImage(1, 1, 1))})
    EXPECT_EQ(apart(blank, std::vector<float>(pagelayout::kLength, 0.0f)), 0.0f);
}

TEST(PageLayout, keepsDifferentPagesApartAndCopiesTogetherInTheFeatureVector) {
  // The analyzer sees every page of print alike but for its layout: two pages lie apart even
  // at the loosest threshold, and a re-saved smaller copy stays within the strict one.
  EXPECT_GT(distance(printedPage(1), printedPage(2)), 0.55f);
  EXPECT_GT(distance(printedPage(3), printedPage(4)), 0.55f);
  EXPECT_LT(distance(printedPage(1), noisy(resized(printedPage(1), 0.85f), 3, 9)), 0.18f);
}

TEST(PageLayout, onePictureAtTwoMarginsLiesCloseWhereverTheWeightRamps) {
  // A re-saved copy whose utility margin moves a little weighs its layout a little otherwise:
  // the same pixels must stay close at every point of the ramp, at its foot (where the weight
  // leaves 0) as in its middle, and move apart only in proportion to the margins' difference.
  const ImagePlanes planes(printedPage(7).view());
  const auto at = [&planes](double margin) {
    std::vector<float> v = featureprint::compute(planes, utilityclassifier::marginWeight(margin));
    normalise(v);
    return v;
  };
  const double top = utilitymodel::kMargin + utilityclassifier::kDocumentMarginToSpare;
  const double foot = top - utilityclassifier::kDocumentRamp;
  for (double m = foot - 0.3; m < top + 0.3; m += 0.04) {
    EXPECT_LT(apart(at(m), at(m + 0.08)), 0.06f) << m;
    EXPECT_LT(apart(at(m), at(m + 0.5)), 0.35f) << m;
  }
  // Yet a page that counts wholly as a document has turned well towards its layout.
  EXPECT_GT(apart(at(foot), at(top)), 1.0f);
}
