#include "engine/scan/ScanPreviews.h"
#include "engine/core/LumoraEngine.h"
#include "engine/imaging/ImageDecoder.h"
#include "tests/engine/imaging/ImagingFixtures.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace lumora;
using namespace fixtures;

namespace {

/// A flat picture of `width` × `height` in one grey level.
platform::DecodedImage flat(int width, int height, std::uint8_t level) {
  platform::DecodedImage image;
  image.width = width;
  image.height = height;
  image.pixels.assign(image.stride() * static_cast<std::size_t>(height), level);
  return image;
}

/// The mean absolute difference of two pictures of one size, over every sample.
double meanDifference(const platform::DecodedImage &a, const platform::DecodedImage &b) {
  double sum = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i) {
    sum += std::abs(static_cast<int>(a.pixels[i]) - static_cast<int>(b.pixels[i]));
  }
  return sum / static_cast<double>(a.pixels.size());
}

} // namespace

// The store holds the newest pictures within its bytes, whatever comes: a refill of a kept
// file replaces it, another version of a file is not the kept one, a picture larger than
// the whole budget is refused without emptying the store.
TEST(ScanPreviews, keepsTheNewestPicturesWithinItsBudget) {
  const std::size_t onePicture = 320 * 240 * 3;
  ScanPreviews previews(5 * onePicture);
  for (int i = 0; i < 12; ++i) {
    previews.keep("p" + std::to_string(i), 1000, Date{100.0 + i}, flat(512, 384, 100));
    EXPECT_LE(previews.bytes(), 5 * onePicture) << i;
  }
  EXPECT_EQ(previews.count(), 5u);
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(previews.find("p" + std::to_string(i), 1000, Date{100.0 + i}) != nullptr, i >= 7)
        << i;
  }
  previews.keep("p11", 1000, Date{111}, flat(512, 384, 200));
  EXPECT_EQ(previews.count(), 5u);
  EXPECT_EQ(previews.bytes(), 5 * onePicture);
  EXPECT_EQ(previews.find("p11", 1000, Date{111})->pixels.front(), 200);
  EXPECT_EQ(previews.find("p11", 1001, Date{111}), nullptr) << "another size";
  EXPECT_EQ(previews.find("p11", 1000, Date{112}), nullptr) << "another date";

  ScanPreviews small(onePicture / 2);
  small.keep("a", 1, Date{1}, flat(100, 100, 9));
  small.keep("huge", 1, Date{1}, flat(512, 384, 9));
  EXPECT_NE(small.find("a", 1, Date{1}), nullptr);
  EXPECT_EQ(small.find("huge", 1, Date{1}), nullptr);
  EXPECT_LE(small.bytes(), onePicture / 2);
}

// The picture a scan keeps is the one the window would decode as the photo's thumbnail:
// upright for the file's orientation, in the same colours and shape, never larger than a
// card needs; photos of the library and files changed since have none.
TEST(ScanPreviews, aScanKeepsAnUprightPictureThatMatchesTheThumbnail) {
  testsupport::TempDir dir;
  const std::filesystem::path folder = dir.file("photos");
  std::filesystem::create_directories(folder);
  save(twoHalves(1200, 900, kRed, kBlue), folder / "sideways.jpg", Exif{.orientation = 6});
  ASSERT_TRUE(testsupport::writeScene(folder / "scene.png", 3, 640, 480));
  LumoraEngine engine(QString::fromStdString(dir.file("cache.bin").string()));
  const auto scanned =
      engine.scan({urlOf(folder)}, ScanOptions::defaults(), {}, {}, std::stop_token{});
  ASSERT_TRUE(scanned.hasValue());
  ASSERT_EQ(scanned.value().items.size(), 2u);
  for (const PhotoItem &item : scanned.value().items) {
    const auto kept = engine.scanPreview(item);
    ASSERT_NE(kept, nullptr) << item.id;
    EXPECT_EQ(std::max(kept->width, kept->height), ScanPreviews::kLongSide) << item.id;
    const auto thumbnail = imagedecoder::decodeFile(item.id, ScanPreviews::kLongSide);
    ASSERT_TRUE(thumbnail) << item.id;
    EXPECT_NEAR(static_cast<double>(kept->width) / kept->height,
                static_cast<double>(thumbnail->image.width) / thumbnail->image.height, 0.02)
        << item.id;

    PhotoItem changed = item;
    changed.fileSize += 1;
    EXPECT_EQ(engine.scanPreview(changed), nullptr) << item.id;
    PhotoItem library = item;
    library.localIdentifier = item.id;
    EXPECT_EQ(engine.scanPreview(library), nullptr) << item.id;

    if (item.id.ends_with("scene.png")) {
      ASSERT_EQ(kept->width, thumbnail->image.width);
      ASSERT_EQ(kept->height, thumbnail->image.height);
      EXPECT_LT(meanDifference(*kept, thumbnail->image), 4.0);
    } else {
      EXPECT_EQ(kept->width, 240) << "upright";
      EXPECT_TRUE(near(meanColour(*kept, 0.1, 0.05, 0.9, 0.4), kRed, 16));
      EXPECT_TRUE(near(meanColour(*kept, 0.1, 0.6, 0.9, 0.95), kBlue, 16));
    }
  }
}
