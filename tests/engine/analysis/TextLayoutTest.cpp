#include "SyntheticImages.h"

#include "engine/analysis/ImagePlanes.h"
#include "engine/analysis/PageLayout.h"
#include "engine/analysis/TextLayout.h"
#include "engine/analysis/VisionAnalyzer.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace lumora;
using namespace analysistest;

namespace {

/// A form of one template: a title, ten labelled boxes (rules on every side) and, when `fill`
/// is not 0, each box filled with a word whose length `fill` chooses; drawn at (`left`, `top`)
/// on a flat desktop of `width` × `height`.
TestImage form(unsigned fill, int left = 40, int top = 30, int width = 512, int height = 400) {
  TestImage image(width, height, 3, 90);
  image.fillRect(left, top, 300, 340, 245, 245, 245);
  image.fillRect(left + 12, top + 10, 150, 6, 30, 30, 30); // the title
  unsigned state = fill * 2654435761u + 7u;
  for (int row = 0; row < 10; ++row) {
    const int y = top + 32 + row * 30;
    image.fillRect(left + 12, y, 40 + (row * 7) % 30, 4, 40, 40, 40); // the label
    // The box: four one-pixel rules.
    image.fillRect(left + 12, y + 8, 276, 1, 60, 60, 60);
    image.fillRect(left + 12, y + 24, 276, 1, 60, 60, 60);
    image.fillRect(left + 12, y + 8, 1, 17, 60, 60, 60);
    image.fillRect(left + 287, y + 8, 1, 17, 60, 60, 60);
    if (fill == 0)
      continue;
    state = state * 1664525u + 1013904223u;
    const int words = 1 + static_cast<int>((state >> 12) % 3);
    int x = left + 18 + static_cast<int>((state >> 20) % 40);
    for (int w = 0; w < words && x < left + 270; ++w) {
      state = state * 1664525u + 1013904223u;
      const int length = 12 + static_cast<int>((state >> 16) % 60);
      for (int letter = x; letter < std::min(x + length, left + 282); letter += 4)
        image.fillRect(letter, y + 13, 2, 7, 20, 30, 120);
      x += length + 8;
    }
  }
  return image;
}

float apart(const std::vector<float> &a, const std::vector<float> &b) {
  double sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i)
    sum += (a[i] - b[i]) * (a[i] - b[i]);
  return static_cast<float>(std::sqrt(sum));
}

float length(const std::vector<float> &v) { return apart(v, std::vector<float>(v.size(), 0.0f)); }

std::vector<float> writingOf(const TestImage &image) {
  return textlayout::describe(ImagePlanes(image.view()));
}

} // namespace

TEST(TextLayout, placesTheWritingWithinItsBoxNotTheRulesOrTheFrame) {
  // Rules alone are hardly writing; the filled boxes are.
  const TestImage empty = form(0), filled = form(3);
  const auto sumOf = [](const TestImage &image) {
    const std::vector<float> w =
        textlayout::writing(ImagePlanes(image.view()).grey(), image.width, image.height);
    double sum = 0;
    for (const float v : w)
      sum += v;
    return sum;
  };
  EXPECT_GT(sumOf(filled), 3.0 * sumOf(empty));
  // The box holds the sheet's writing, wherever the sheet lies on the desktop, so the same form
  // moved across the desktop keeps its layout.
  const std::vector<float> marks =
      textlayout::writing(ImagePlanes(filled.view()).grey(), filled.width, filled.height);
  const textlayout::Box box = textlayout::writingBox(marks, filled.width, filled.height);
  EXPECT_GE(box.x, 40 - 10);
  EXPECT_LE(box.x + box.width, 40 + 300 + 10);
  EXPECT_GE(box.y, 30 - 10);
  EXPECT_LE(box.y + box.height, 30 + 340 + 10);
  EXPECT_LT(apart(writingOf(filled), writingOf(form(3, 160, 40))), 0.15f);
  // Blank frames have no writing at all.
  EXPECT_EQ(length(writingOf(TestImage(200, 100, 3, 255))), 0.0f);
  EXPECT_EQ(length(writingOf(TestImage(2, 2, 1))), 0.0f);
}

TEST(TextLayout, tellsFormsOfOneTemplateApartButNotTheirCopies) {
  // Filled differently, the forms of one template lie apart; shifted by a pixel or two, with
  // noise (a re-save) or shown in another grey, a form keeps its writing.
  std::vector<std::vector<float>> forms;
  for (unsigned fill = 1; fill <= 5; ++fill)
    forms.push_back(writingOf(form(fill)));
  for (std::size_t i = 0; i < forms.size(); ++i) {
    for (std::size_t j = i + 1; j < forms.size(); ++j)
      EXPECT_GT(apart(forms[i], forms[j]), 0.45f) << i << " " << j;
  }
  EXPECT_LT(apart(forms[0], writingOf(shifted(form(1), 2))), 0.15f);
  EXPECT_LT(apart(forms[0], writingOf(noisy(shifted(form(1), 1), 3, 5))), 0.2f);
  EXPECT_LT(apart(forms[0], writingOf(exposed(form(1), 0.6f))), 0.1f);
}

TEST(TextLayout, theProjectedBlockKeepsDistancesAndTheFeatureVectorSeparatesTheForms) {
  // The block maps the frame's and the writing's layouts to a fixed length and keeps their
  // distances within a few hundredths.
  const auto joint = [](const TestImage &image) {
    const ImagePlanes planes(image.view());
    std::vector<float> out;
    const float frameShare =
        std::sqrt(1.0f - pagelayout::kWritingShare * pagelayout::kWritingShare);
    for (const float v : pagelayout::describe(planes.small()))
      out.push_back(frameShare * v);
    for (const float v : textlayout::describe(planes))
      out.push_back(pagelayout::kWritingShare * v);
    return out;
  };
  const auto block = [](const TestImage &image) {
    return pagelayout::block(ImagePlanes(image.view()));
  };
  for (unsigned fill = 2; fill <= 4; ++fill) {
    const float before = apart(joint(form(1)), joint(form(fill)));
    EXPECT_NEAR(apart(block(form(1)), block(form(fill))), before, 0.15f * before) << fill;
  }
  EXPECT_EQ(block(form(1)).size(), pagelayout::kLength);
  EXPECT_EQ(block(form(1)), block(form(1)));
  // Analysed as screenshots, two forms of one template do not join at the default threshold,
  // and a copy joins at the strictest.
  const auto distance = [](const TestImage &a, const TestImage &b) {
    const auto fa = VisionAnalyzer::analyze(a.view()), fb = VisionAnalyzer::analyze(b.view());
    EXPECT_TRUE(fa.value().isUtility && fb.value().isUtility);
    double dot = 0;
    for (std::size_t i = 0; i < fa.value().feature.size(); ++i)
      dot += fa.value().feature[i] * fb.value().feature[i];
    return static_cast<float>(std::sqrt(std::max(0.0, 2 - 2 * dot)));
  };
  EXPECT_GT(distance(form(1), form(2)), 0.30f);
  EXPECT_LT(distance(form(1), shifted(form(1), 1)), 0.18f);
}
