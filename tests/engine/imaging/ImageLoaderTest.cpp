#include "engine/imaging/ImageLoader.h"
#include "engine/imaging/ImageDecoder.h"
#include "platform/core/imaging/DecodeBudget.h"
#include "tests/engine/imaging/ImagingFixtures.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/WaitFor.h"

#include <QFile>
#include <algorithm>
#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

using namespace lumora;
using platform::VipsImagePtr;
using namespace fixtures;
namespace fs = std::filesystem;

namespace {

std::optional<ImageLoader::LoadedImage> loadFile(const fs::path &path, int maxPixel = 512) {
  return ImageLoader::load(urlOf(path), maxPixel);
}

DecodeError::Kind failureOf(const fs::path &path) {
  auto decoded = imagedecoder::decodeFile(path.string(), 512);
  EXPECT_FALSE(decoded.hasValue()) << path;
  return decoded ? DecodeError::Kind::unavailable : decoded.error().kind;
}

/// Left half red, right half blue, the sizes the checks below expect.
void expectHalves(const platform::DecodedImage &image, double tolerance, const std::string &what) {
  EXPECT_TRUE(near(meanColour(image, 0.05, 0.1, 0.4, 0.9), kRed, tolerance)) << what;
  EXPECT_TRUE(near(meanColour(image, 0.6, 0.1, 0.95, 0.9), kBlue, tolerance)) << what;
}

} // namespace

TEST(ImageLoader, everySupportedExtensionDecodesToASmallSrgbPicture) {
  testsupport::TempDir dir;
  const auto picture = twoHalves(640, 480, kRed, kBlue);
  for (const std::string name :
       {"a.jpg", "a.jpeg", "a.png", "a.tif", "a.tiff", "a.gif", "a.webp", "a.heic", "a.heif"}) {
    save(picture, dir.file(name));
  }
  dir.write("a.bmp", bmp24(640, 480, kRed, kBlue));
  for (const auto &entry : fs::directory_iterator(dir.path())) {
    const auto loaded = loadFile(entry.path());
    const std::string name = entry.path().filename().string();
    ASSERT_TRUE(loaded.has_value()) << name;
    // JPEG decodes at the largest eighth of its size that fits (here 6/8), the rest resample.
    const bool jpeg = name.ends_with(".jpg") || name.ends_with(".jpeg");
    EXPECT_EQ(loaded->image.width, jpeg ? 480 : 512) << name;
    EXPECT_NEAR(loaded->image.height, jpeg ? 360 : 384, 1) << name;
    EXPECT_TRUE(loaded->image.bands == 3 || loaded->image.bands == 4) << name;
    EXPECT_EQ(loaded->image.pixels.size(), loaded->image.stride() * loaded->image.height);
    EXPECT_EQ(loaded->fileName, QString::fromStdString(name));
    EXPECT_FALSE(loaded->captureDate.has_value()) << name;
    expectHalves(loaded->image, 16, name);
  }
}

TEST(ImageLoader, sizeIsClampedBelowAndNeverEnlarged) {
  testsupport::TempDir dir;
  save(twoHalves(300, 200, kRed, kBlue), dir.file("small.jpg"));
  const auto tiny = loadFile(dir.file("small.jpg"), 10);
  ASSERT_TRUE(tiny);
  EXPECT_EQ(tiny->image.width, 64); // 1/8 (38) is far below 64: 2/8, resampled
  EXPECT_NEAR(tiny->image.height, 43, 1);
  const auto full = loadFile(dir.file("small.jpg"), 4000);
  ASSERT_TRUE(full);
  EXPECT_EQ(full->image.width, 300);
  EXPECT_EQ(full->image.height, 200);
}

TEST(ImageLoader, largePhotosShrinkWhileDecodingAndKeepTheirAspect) {
  testsupport::TempDir dir;
  const auto picture = twoHalves(4000, 3000, kRed, kBlue);
  save(picture, dir.file("big.jpg"));
  save(picture, dir.file("big.webp"));
  for (const char *name : {"big.jpg", "big.webp"}) {
    for (const int maxPixel : {64, 333, 512, 1999}) {
      const auto loaded = loadFile(dir.file(name), maxPixel);
      ASSERT_TRUE(loaded) << name;
      // At most maxPixel wide; JPEG may stop at the eighth of 4000 below it, never below half.
      EXPECT_LE(loaded->image.width, maxPixel) << name;
      EXPECT_GT(loaded->image.width,
                std::string(name).ends_with(".jpg") ? maxPixel / 2 : maxPixel - 1)
          << name;
      EXPECT_NEAR(loaded->image.height, loaded->image.width * 3 / 4, 1) << name << " " << maxPixel;
      expectHalves(loaded->image, 16, name);
    }
  }
}

TEST(ImageLoader, exifOrientationGivesAnUprightPicture) {
  testsupport::TempDir dir;
  // Stored sideways: orientation 6 means "rotate 90° clockwise to view", so the stored left
  // half ends up on top.
  const auto stored = twoHalves(300, 200, kRed, kBlue);
  for (const std::string name : {"r.jpg", "r.webp", "r.tif"}) {
    save(stored, dir.file(name), Exif{.orientation = 6});
    const auto loaded = loadFile(dir.file(name));
    ASSERT_TRUE(loaded) << name;
    EXPECT_EQ(loaded->image.width, 200) << name;
    EXPECT_EQ(loaded->image.height, 300) << name;
    EXPECT_TRUE(near(meanColour(loaded->image, 0.1, 0.05, 0.9, 0.4), kRed, 16)) << name;
    EXPECT_TRUE(near(meanColour(loaded->image, 0.1, 0.6, 0.9, 0.95), kBlue, 16)) << name;
  }
}

TEST(ImageLoader, captureDateComesFromExifWithItsOffset) {
  testsupport::TempDir dir;
  const auto picture = twoHalves(120, 80, kRed, kBlue);
  for (const std::string name : {"d.jpg", "d.webp", "d.heic"}) {
    save(picture, dir.file(name), Exif{"2024:05:01 10:00:00", "+09:00"});
    const auto loaded = loadFile(dir.file(name));
    ASSERT_TRUE(loaded) << name;
    // 2024-05-01 01:00:00 UTC.
    EXPECT_EQ(loaded->captureDate, Date{1714525200}) << name;
  }
  save(picture, dir.file("local.jpg"), Exif{"2024:05:01 10:00:00", std::nullopt});
  std::tm local{};
  local.tm_year = 124, local.tm_mon = 4, local.tm_mday = 1, local.tm_hour = 10, local.tm_isdst = -1;
  EXPECT_EQ(loadFile(dir.file("local.jpg"))->captureDate,
            Date{static_cast<double>(std::mktime(&local))});
  save(picture, dir.file("odd.jpg"), Exif{"2024:05:01 10:00:00 (x", std::nullopt});
  EXPECT_FALSE(loadFile(dir.file("odd.jpg"))->captureDate.has_value());
}

TEST(ImageLoader, captureDateRules) {
  const auto date = [](std::optional<std::string> text, std::optional<std::string> offset) {
    return ImageLoader::captureDate(ExifDateFields{std::move(text), std::move(offset)});
  };
  std::tm local{};
  local.tm_year = 124, local.tm_mon = 4, local.tm_mday = 1, local.tm_hour = 10, local.tm_isdst = -1;
  const Date localTen{static_cast<double>(std::mktime(&local))};
  EXPECT_EQ(date("2024:05:01 10:00:00", "+09:00"), Date{1714525200});
  EXPECT_EQ(date("2024:05:01 10:00:00", "-05:00"), Date{1714575600});
  EXPECT_EQ(date("2024:05:01 10:00:00", "+0530"), Date{1714537800});
  EXPECT_EQ(date("2024:5:1 10:0:0", "+00:00"), Date{1714557600});
  EXPECT_EQ(date("2024:05:01 10:00:00", std::nullopt), localTen);
  // An offset that does not make a fixed zone falls back to the local zone.
  for (const char *offset : {"+25:00", "Z", "   :  ", "+09:60", "09:00"}) {
    EXPECT_EQ(date("2024:05:01 10:00:00", offset), localTen) << offset;
  }
  for (const char *text :
       {"2024:13:01 10:00:00", "2024-05-01 10:00:00", "2023:02:29 10:00:00", "2024:05:01 24:00:00",
        "2024:05:01 10:00:60", "0000:00:00 00:00:00", "2024:05:01 10:00:00Z",
        " 2024:05:01 10:00:00", "", "    :  :     :  :  "}) {
    EXPECT_FALSE(date(text, "+09:00").has_value()) << text;
  }
  EXPECT_EQ(date("2024:02:29 00:00:00", "+00:00"), Date{1709164800});
  EXPECT_FALSE(date(std::nullopt, "+09:00").has_value());
  EXPECT_FALSE(ImageLoader::captureDate(std::nullopt).has_value());
}

TEST(ImageLoader, bitmapVariantsDecode) {
  testsupport::TempDir dir;
  dir.write("top.bmp", bmp24(101, 37, kRed, kBlue, true));
  dir.write("palette.bmp", bmp8(64, 48, kRed, kBlue));
  dir.write("alpha.bmp", bmp32(40, 30, kBlue, 128));
  dir.write("zero-alpha.bmp", bmp32(40, 30, kRed, 0));
  for (const char *name : {"top.bmp", "palette.bmp"}) {
    const auto loaded = loadFile(dir.file(name));
    ASSERT_TRUE(loaded) << name;
    EXPECT_EQ(loaded->image.bands, 3);
    expectHalves(loaded->image, 2, name);
  }
  const auto alpha = loadFile(dir.file("alpha.bmp"));
  ASSERT_TRUE(alpha);
  ASSERT_EQ(alpha->image.bands, 4);
  EXPECT_TRUE(near(meanColour(alpha->image, 0, 0, 1, 1), kBlue, 2));
  EXPECT_EQ(alpha->image.pixels[3], 128);
  const auto opaque = loadFile(dir.file("zero-alpha.bmp"));
  ASSERT_TRUE(opaque);
  EXPECT_EQ(opaque->image.pixels[3], 255);
}

TEST(ImageLoader, clearPixelsLendNoColourWhenAPictureWithAlphaShrinks) {
  testsupport::TempDir dir;
  // Red but fully transparent on the left, opaque blue on the right.
  const auto colour = twoHalves(1024, 512, kRed, kBlue);
  const auto mask = twoHalves(1024, 512, {0, 0, 0}, {255, 255, 255});
  VipsImagePtr alpha, withAlpha;
  ASSERT_EQ(vips_extract_band(mask.get(), alpha.out(), 0, nullptr), 0);
  ASSERT_EQ(vips_bandjoin2(colour.get(), alpha.get(), withAlpha.out(), nullptr), 0);
  save(withAlpha, dir.file("a.png"));
  save(withAlpha, dir.file("sideways.tif"), Exif{.orientation = 6});

  const auto loaded = loadFile(dir.file("a.png"), 64);
  ASSERT_TRUE(loaded);
  const platform::DecodedImage &image = loaded->image;
  ASSERT_EQ(image.bands, 4);
  EXPECT_EQ(image.width, 64);
  int partial = 0;
  for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
    const std::uint8_t a = image.pixels[i + 3];
    if (a > 8 && a < 247) {
      ++partial;
      // Weighted by alpha, the edge takes the colour of its opaque side only.
      EXPECT_LT(image.pixels[i], 80) << "red bled into the edge at " << i / 4;
    }
  }
  EXPECT_GT(partial, 0);
  EXPECT_TRUE(near(meanColour(image, 0.6, 0.1, 0.95, 0.9), kBlue, 4));

  // Turned upright as a picture without alpha is: the clear half ends on top.
  const auto upright = loadFile(dir.file("sideways.tif"), 64);
  ASSERT_TRUE(upright);
  EXPECT_EQ(upright->image.width, 32);
  EXPECT_EQ(upright->image.height, 64);
  EXPECT_EQ(upright->image.pixels[3], 0);
  EXPECT_EQ(upright->image.pixels.back(), 255);
}

TEST(ImageLoader, otherColourLayoutsBecomeEightBitSrgb) {
  testsupport::TempDir dir;
  const auto picture = twoHalves(200, 100, kRed, kBlue);
  VipsImagePtr grey, wide, withAlpha;
  ASSERT_EQ(vips_colourspace(picture.get(), grey.out(), VIPS_INTERPRETATION_B_W, nullptr), 0);
  ASSERT_EQ(vips_colourspace(picture.get(), wide.out(), VIPS_INTERPRETATION_RGB16, nullptr), 0);
  ASSERT_EQ(vips_bandjoin_const1(grey.get(), withAlpha.out(), 255, nullptr), 0);
  save(grey, dir.file("grey.jpg"));
  save(wide, dir.file("wide.png"));
  save(wide, dir.file("wide.tif"));
  save(withAlpha, dir.file("grey-alpha.png"));
  for (const auto &[name, bands] : std::vector<std::pair<std::string, int>>{
           {"grey.jpg", 3}, {"wide.png", 3}, {"wide.tif", 3}, {"grey-alpha.png", 4}}) {
    const auto loaded = loadFile(dir.file(name));
    ASSERT_TRUE(loaded) << name;
    EXPECT_EQ(loaded->image.bands, bands) << name;
    EXPECT_EQ(loaded->image.width, 200) << name;
  }
  expectHalves(loadFile(dir.file("wide.png"))->image, 2, "wide.png");
  expectHalves(loadFile(dir.file("wide.tif"))->image, 2, "wide.tif");
}

TEST(ImageLoader, badFilesFailWithoutCrashingAndAreLogged) {
  testsupport::TempDir dir;
  const auto picture = twoHalves(400, 300, kRed, kBlue);
  for (const std::string name :
       {"whole.jpg", "whole.png", "whole.webp", "whole.heic", "whole.tif", "whole.gif"}) {
    save(picture, dir.file(name));
    const std::string bytes = readFile(dir.file(name));
    dir.write("cut-" + name, bytes.substr(0, bytes.size() / 2));
  }
  dir.write("cut.bmp", bmp24(400, 300, kRed, kBlue).substr(0, 20000));
  dir.write("empty.jpg", "");
  dir.write("garbage.jpg", std::string(20000, '\x5a'));
  dir.write("matrix.png", "2 2\n1 2\n3 4\n");
  for (const auto &untrusted : untrustedPictures()) {
    dir.write(untrusted.name, untrusted.bytes);
  }
  for (const std::string name :
       {"cut-whole.jpg", "cut-whole.png", "cut-whole.webp", "cut-whole.heic", "cut-whole.tif",
        "cut-whole.gif", "cut.bmp", "empty.jpg", "garbage.jpg", "matrix.png", "vector.jpg",
        "netpbm.png"}) {
    EXPECT_FALSE(loadFile(dir.file(name)).has_value()) << name;
  }
  EXPECT_EQ(failureOf(dir.file("vector.jpg")), DecodeError::Kind::unsupportedFormat);
  EXPECT_EQ(failureOf(dir.file("matrix.png")), DecodeError::Kind::unsupportedFormat);
  EXPECT_EQ(failureOf(dir.file("empty.jpg")), DecodeError::Kind::damaged);
  EXPECT_TRUE(diagnosticsLog().contains(QStringLiteral("cut-whole.jpg:")));
}

TEST(ImageLoader, headersClaimingHugeSizesAreRefusedBeforeDecoding) {
  testsupport::TempDir dir;
  dir.write("huge.png", testsupport::claimingPng(100000, 100000));
  save(twoHalves(64, 48, kRed, kBlue), dir.file("small.jpg"));
  dir.write("huge.jpg", withJpegSize(readFile(dir.file("small.jpg")), 65000, 65000));
  std::string bmp = bmp24(8, 8, kRed, kBlue);
  bmp[18] = '\x20', bmp[19] = '\x4e', bmp[22] = '\x20', bmp[23] = '\x4e'; // 20000 × 20000
  dir.write("huge.bmp", bmp);
  for (const char *name : {"huge.png", "huge.jpg", "huge.bmp"}) {
    EXPECT_EQ(failureOf(dir.file(name)), DecodeError::Kind::tooLarge) << name;
    EXPECT_FALSE(loadFile(dir.file(name)).has_value());
  }
  EXPECT_TRUE(diagnosticsLog().contains(QStringLiteral("huge.png: 100000 × 100000 pixels")));
}

TEST(ImageLoader, foldersFifosAndMissingFilesFailWithoutBlocking) {
  testsupport::TempDir dir;
  ASSERT_EQ(::mkfifo(dir.file("pipe.jpg").c_str(), 0644), 0);
  fs::create_directory(dir.file("folder.jpg"));
  for (const char *name : {"pipe.jpg", "folder.jpg", "missing.jpg"}) {
    EXPECT_EQ(failureOf(dir.file(name)), DecodeError::Kind::unreadable) << name;
  }
  EXPECT_FALSE(ImageLoader::load(QUrl("https://example.com/a.jpg"), 512).has_value());
}

TEST(ImageLoader, manyThreadsDecodeAtOnce) {
  testsupport::TempDir dir;
  const auto picture = twoHalves(900, 600, kRed, kBlue);
  std::vector<fs::path> files;
  for (const char *name : {"t.jpg", "t.png", "t.webp", "t.heic", "t.gif", "t.tif"}) {
    save(picture, dir.file(name));
    files.push_back(dir.file(name));
  }
  std::atomic<int> good{0};
  {
    std::vector<std::jthread> workers;
    for (int t = 0; t < 6; ++t) {
      workers.emplace_back([&, t] {
        for (int i = 0; i < 12; ++i) {
          const auto loaded = loadFile(files[static_cast<std::size_t>(t + i) % files.size()], 256);
          if (loaded && loaded->image.width <= 256 && loaded->image.width > 128) {
            ++good;
          }
        }
      });
    }
  }
  EXPECT_EQ(good.load(), 72);
}

TEST(ImageLoader, photosNeedingMoreThanAWorkersShareDecodeAloneUpToTheCeiling) {
  testsupport::TempDir dir;
  // A progressive JPEG without chroma subsampling keeps 6 bytes a pixel of coefficients:
  // 42 megapixels need more than a worker's share. A TIFF in one tall strip is read a row
  // at a time and needs little.
  const auto picture = twoHalves(7000, 6000, kRed, kBlue);
  const std::string progressive = dir.file("big.jpg").string();
  ASSERT_EQ(vips_image_write_to_file(
                picture.get(), (progressive + "[interlace,subsample_mode=off]").c_str(), nullptr),
            0);
  save(twoHalves(3000, 2000, kRed, kBlue),
       dir.file("one-strip.tif").string() + "[tile_height=2000]");
  const auto big = loadFile(dir.file("big.jpg"));
  ASSERT_TRUE(big.has_value());
  expectHalves(big->image, 16, "big.jpg");
  EXPECT_EQ(big->sourcePixels, std::int64_t{7000} * 6000);
  expectHalves(loadFile(dir.file("one-strip.tif"))->image, 16, "one-strip.tif");
  EXPECT_EQ(platform::decodebudget::held(), 0);

  platform::decodebudget::overrideCeiling(platform::decodebudget::kShare);
  const auto refused = imagedecoder::decodeFile(progressive, 512);
  platform::decodebudget::overrideCeiling(std::nullopt);
  ASSERT_FALSE(refused.hasValue());
  EXPECT_EQ(refused.error().kind, DecodeError::Kind::tooLarge);
  EXPECT_TRUE(refused.error().message.contains(QStringLiteral("over the limit of 256 MB")))
      << qPrintable(refused.error().message);
}

TEST(ImageLoader, aJpegWaitingForMemoryHoldsNoneOfItsBytesInTheBudgetAndDecodesOnceAdmitted) {
  namespace budget = platform::decodebudget;
  testsupport::TempDir dir;
  save(twoHalves(1200, 900, kRed, kBlue), dir.file("photo.jpg"));
  budget::overrideCeiling(budget::kShare);
  budget::overrideTotal(budget::kShare);
  // Room for the stream to be read, not for its decode.
  auto others = budget::reserve(budget::total() - (std::int64_t{1} << 20));
  auto decoded = std::async(std::launch::async, [&] {
    return imagedecoder::decodeFile(dir.file("photo.jpg").string(), 300);
  });
  testsupport::waitFor([] { return budget::waiting(budget::Lane::scan) == 1; });
  EXPECT_EQ(budget::held(), others.bytes()) << "the stream left memory while it waits";
  others = budget::Reservation();
  const auto result = decoded.get();
  budget::overrideCeiling(std::nullopt);
  budget::overrideTotal(std::nullopt);
  ASSERT_TRUE(result.hasValue()) << qPrintable(result.error().message);
  EXPECT_EQ(result->image.width, 300);
  expectHalves(result->image, 16, "photo.jpg");
  EXPECT_EQ(budget::held(), 0);
}
