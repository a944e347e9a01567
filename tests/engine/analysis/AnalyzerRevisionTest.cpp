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

/// Generated pictures of every kind the analyzer tells apart: photographs sharp, soft, dark,
/// noisy and moved, a grey one, a window, a message box on a desktop, a page and noise.
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
  // A small message box on a desktop: its writing is measured on the fine grid.
  TestImage desktop(512, 288, 3, 60);
  desktop.fillRect(180, 122, 152, 52, 245, 245, 245);
  desktop.fillRect(180, 122, 152, 8, 120, 150, 200);
  for (int letter = 0; letter < 18; ++letter)
    desktop.fillRect(206 + letter * 5 + (letter % 4 == 3 ? 2 : 0), 138 + letter % 2, 3,
                     4 + letter % 3, 40, 40, 40);
  desktop.fillRect(296, 158, 30, 12, 200, 200, 200);
  pictures.push_back(desktop);
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
