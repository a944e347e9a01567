#include "SyntheticImages.h"

#include "engine/analysis/VisionAnalyzer.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <vector>

using namespace lumora;
using namespace analysistest;

namespace {

/// FNV-1a over 32-bit words.
struct Digest {
  std::uint64_t value = 14695981039346656037u;
  void add(std::uint32_t word) { value = (value ^ word) * 1099511628211u; }
};

/// A message box on a flat 512 × 288 desktop: a title bar, a line of letters five pixels apart
/// with a wider gap after every `group`-th, and a button.
struct Dialog {
  int left, top, width, height, title;
  int textX, textY, letters, group, gap;
  int buttonX, buttonY, buttonWidth, buttonHeight;
};

TestImage messageBox(const Dialog &d) {
  TestImage image(512, 288, 3, 60);
  image.fillRect(d.left, d.top, d.width, d.height, 245, 245, 245);
  image.fillRect(d.left, d.top, d.width, d.title, 120, 150, 200);
  for (int letter = 0; letter < d.letters; ++letter)
    image.fillRect(d.textX + letter * 5 + (letter % d.group == d.group - 1 ? d.gap : 0),
                   d.textY + letter % 2, 3, 4 + letter % 3, 40, 40, 40);
  image.fillRect(d.buttonX, d.buttonY, d.buttonWidth, d.buttonHeight, 200, 200, 200);
  return image;
}

/// Generated pictures of every kind the analyzer tells apart: photographs sharp, soft, dark,
/// noisy and moved, a grey one, a window, message boxes on a desktop, a page and noise.
std::vector<TestImage> goldenPictures() {
  std::vector<TestImage> pictures;
  for (unsigned seed : {1u, 2u, 3u})
    pictures.push_back(scene(seed));
  pictures.push_back(blurred(scene(4), 3));
  pictures.push_back(exposed(scene(5), 0.2f));
  pictures.push_back(noisy(scene(6), 40, 7));
  pictures.push_back(shifted(scene(1), 24));
  pictures.push_back(scene(8, 300, 640));
  TestImage grey(320, 240, 1);
  for (int y = 0; y < grey.height; ++y)
    for (int x = 0; x < grey.width; ++x)
      *grey.at(x, y) = static_cast<std::uint8_t>((x * 3 + y * 5 + (x ^ y)) % 256);
  pictures.push_back(grey);
  pictures.push_back(screenshot());
  // Message boxes on a desktop: the small one's writing is measured on the fine grid, the
  // larger one's on both grids, the largest one's on the thumbnail's grid and by its strokes.
  pictures.push_back(messageBox({180, 122, 152, 52, 8, 206, 138, 18, 4, 2, 296, 158, 30, 12}));
  pictures.push_back(messageBox({150, 100, 212, 86, 10, 190, 128, 30, 5, 3, 310, 160, 44, 16}));
  pictures.push_back(messageBox({131, 80, 250, 120, 12, 160, 110, 36, 6, 4, 300, 170, 60, 20}));
  // A dialog with a coloured icon, weighed as a document by the boxed-window rule.
  pictures.push_back(dialogOnDesktop(51));
  pictures.push_back(documentPage());
  pictures.push_back(noisePhoto(9));
  return pictures;
}

} // namespace

// The analyzer's revision names its output: caches written at one revision are read back as
// valid only at that revision. This digest of every value `analyze` gives for the pictures above
// is recorded beside the revision, so output that changes while the revision stays fails here.
TEST(AnalyzerRevision, TheRecordedDigestIsThatOfTheOutputAtThisRevision) {
  Digest digest;
  for (const TestImage &picture : goldenPictures()) {
    const auto analysis = VisionAnalyzer::analyze(picture.view());
    ASSERT_TRUE(analysis.hasValue());
    for (const float v : analysis.value().feature)
      digest.add(std::bit_cast<std::uint32_t>(v));
    digest.add(std::bit_cast<std::uint32_t>(analysis.value().score));
    digest.add(analysis.value().isUtility ? 1u : 0u);
    digest.add(std::bit_cast<std::uint32_t>(analysis.value().sharpness));
  }
  char now[19];
  std::snprintf(now, sizeof now, "0x%016llx", static_cast<unsigned long long>(digest.value));
  EXPECT_EQ(digest.value, VisionAnalyzer::kRevisionDigest)
      << "the analyzer's output is not what revision " << VisionAnalyzer::kRevision
      << " recorded. If the change is meant, move kRevision on in "
         "engine/analysis/VisionAnalyzer.h and set kRevisionDigest beside it to "
      << now << "; if not, the change altered the analysis by mistake.";
}
