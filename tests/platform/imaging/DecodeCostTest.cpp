#include "platform/core/imaging/DecodeCost.h"
#include "platform/core/imaging/PhotoSource.h"
#include "platform/core/imaging/VipsImage.h"
#include "platform/core/imaging/VipsRuntime.h"
#include "platform/core/posix/UniqueFd.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/TempDir.h"
#include "tests/support/WaitFor.h"

#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>
#include <sys/stat.h>

using namespace platform;
using decodecost::Format;
using testsupport::PngColour;

namespace {

constexpr std::int64_t kMiB = std::int64_t{1} << 20;

/// A flat picture of `bands` 8-bit bands saved to `target` (a path, options allowed).
void saveFlat(const std::string &target, int width, int height, int bands) {
  ASSERT_TRUE(vipsruntime::ensureStarted());
  VipsImagePtr black;
  VipsImagePtr grey;
  ASSERT_EQ(vips_black(black.out(), width, height, "bands", bands, nullptr), 0);
  ASSERT_EQ(vips_linear1(black.get(), grey.out(), 1.0, 120.0, "uchar", TRUE, nullptr), 0);
  ASSERT_EQ(vips_image_write_to_file(grey.get(), target.c_str(), nullptr), 0) << target;
}

/// What the decode of one file is charged, and what its header and first bytes told.
struct Charge {
  Format format = Format::jpeg;
  std::int64_t bytes = 0;
  std::optional<jpegstream::Layout> jpeg;
  bool webpLossless = false;
  std::optional<tifflayout::Layout> tiff;
};

/// The charge of decoding the file at `path` to `request`, from its header alone.
Charge chargeOf(const std::filesystem::path &path, decodecost::Request request = {}) {
  EXPECT_TRUE(vipsruntime::ensureStarted());
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st {};
  EXPECT_EQ(::fstat(fd.get(), &st), 0) << path;
  auto photo = photosource::open(fd.get(), st.st_size);
  EXPECT_TRUE(photo.hasValue()) << path;
  const char *loader = vips_foreign_find_load_source(photo->source.get());
  const auto format = decodecost::formatOfLoader(loader != nullptr ? loader : "");
  EXPECT_TRUE(format.has_value()) << path;
  const VipsImagePtr header(vips_image_new_from_source(photo->source.get(), "", "access",
                                                       VIPS_ACCESS_SEQUENTIAL, nullptr));
  EXPECT_TRUE(header) << path;
  if (!format || !header) {
    return {};
  }
  return {*format, photosource::decodeCharge(*photo, *format, header.get(), request),
          photo->jpegLayout, photo->webpLossless, photo->tiffLayout};
}

std::int64_t chargeOfPng(const testsupport::TempDir &dir, std::uint32_t width, std::uint32_t height,
                         PngColour colour, bool interlaced = false,
                         decodecost::Request request = {}) {
  return chargeOf(
             dir.write("claim.png", testsupport::claimingPng(width, height, colour, interlaced)),
             request)
      .bytes;
}

} // namespace

TEST(DecodeCost, aPngIsChargedTheRowsItStreamsNotItsFewBytesOnDisk) {
  testsupport::TempDir dir;
  // 196 megapixels of RGBA in a file of a few dozen bytes.
  const std::int64_t huge = chargeOfPng(dir, 14000, 14000, PngColour::rgba);
  EXPECT_GE(huge, 14000 * 4 * decodecost::kStreamRows);
  EXPECT_LE(huge, decodebudget::kShare) << "it decodes beside others";
  // Rows beyond those streamed at once cost nothing more; a narrower picture costs less.
  EXPECT_LT(huge - chargeOfPng(dir, 14000, 7000, PngColour::rgba), 2 * kMiB);
  EXPECT_GE(huge - chargeOfPng(dir, 7000, 14000, PngColour::rgba),
            7000 * 4 * decodecost::kStreamRows);
  EXPECT_GT(huge, chargeOfPng(dir, 14000, 14000, PngColour::rgb));

  // Interlaced rows arrive in seven passes: the whole picture is held, over one photo's limit.
  const std::int64_t interlaced = chargeOfPng(dir, 14000, 14000, PngColour::rgba, true);
  EXPECT_GE(interlaced - huge, std::int64_t{14000} * 14000 * 4);
  EXPECT_GT(interlaced, decodebudget::kShare);
}

TEST(DecodeCost, throughVipsThumbnailAPictureWithAlphaIsChargedItsRowsInFloat) {
  testsupport::TempDir dir;
  const decodecost::Request viaThumbnail{512, true};
  EXPECT_GE(chargeOfPng(dir, 14000, 14000, PngColour::rgba, false, viaThumbnail) -
                chargeOfPng(dir, 14000, 14000, PngColour::rgba),
            14000 * 4 * 4 * decodecost::kFloatAlphaRows);
  EXPECT_EQ(chargeOfPng(dir, 14000, 14000, PngColour::rgb, false, viaThumbnail),
            chargeOfPng(dir, 14000, 14000, PngColour::rgb));
}

TEST(DecodeCost, aPictureHeldWholeToBeMeasuredIsChargedItsEightBitSamples) {
  testsupport::TempDir dir;
  const decodecost::Request whole{512, false, true};
  EXPECT_EQ(chargeOfPng(dir, 1920, 1080, PngColour::rgb, false, whole) -
                chargeOfPng(dir, 1920, 1080, PngColour::rgb),
            std::int64_t{1920} * 1080 * 3);
  EXPECT_EQ(chargeOfPng(dir, 640, 360, PngColour::grey, false, whole) -
                chargeOfPng(dir, 640, 360, PngColour::grey),
            std::int64_t{640} * 360);
}

TEST(DecodeCost, jpegIsChargedAtTheScaleItDecodesAtAndProgressiveForItsCoefficients) {
  testsupport::TempDir dir;
  saveFlat(dir.file("base.jpg").string(), 4000, 3000, 3);
  saveFlat(dir.file("progressive.jpg").string() + "[interlace]", 4000, 3000, 3);
  const Charge small = chargeOf(dir.file("base.jpg"), {512, false});
  // Decoded at 1/4 of its size: far less than streaming it at its full width.
  EXPECT_LT(small.bytes - decodecost::kFixedBytes, 4000 * 3 * decodecost::kStreamRows / 2);
  EXPECT_GT(chargeOf(dir.file("base.jpg"), {4000, false}).bytes, small.bytes + 4000 * 3000 * 4);

  const Charge progressive = chargeOf(dir.file("progressive.jpg"), {512, false});
  ASSERT_TRUE(progressive.jpeg.has_value());
  // Both keep their own stream in memory; beyond it, every coefficient is held.
  const auto baseBytes =
      static_cast<std::int64_t>(std::filesystem::file_size(dir.file("base.jpg")));
  EXPECT_GE(progressive.bytes - (small.bytes - baseBytes), progressive.jpeg->coefficientBytes);
}

TEST(DecodeCost, webpIsChargedTheWholePictureOnlyWhenLosslessOrTransparent) {
  testsupport::TempDir dir;
  constexpr std::int64_t kPixels = 1600 * 1200;
  saveFlat(dir.file("lossy.webp").string(), 1600, 1200, 3);
  saveFlat(dir.file("lossless.webp").string() + "[lossless]", 1600, 1200, 3);
  saveFlat(dir.file("alpha.webp").string(), 1600, 1200, 4);
  const Charge lossy = chargeOf(dir.file("lossy.webp"));
  const Charge lossless = chargeOf(dir.file("lossless.webp"));
  const Charge alpha = chargeOf(dir.file("alpha.webp"));
  EXPECT_FALSE(lossy.webpLossless);
  EXPECT_TRUE(lossless.webpLossless);
  EXPECT_FALSE(alpha.webpLossless);
  EXPECT_GE(lossless.bytes - lossy.bytes, kPixels * 4);
  EXPECT_GE(alpha.bytes - lossy.bytes, kPixels * 4);
  // vips_thumbnail does not always have libwebp shrink while it decodes.
  EXPECT_GE(chargeOf(dir.file("lossy.webp"), {512, true}).bytes - lossy.bytes, kPixels * 4);
}

TEST(DecodeCost, decodersThatMakeTheWholePictureAreChargedItOnTopOfTheStream) {
  testsupport::TempDir dir;
  constexpr std::int64_t kPixels = 1200 * 900;
  saveFlat(dir.file("plain.png").string(), 1200, 900, 3);
  const std::int64_t streamed = chargeOf(dir.file("plain.png")).bytes;
  const struct {
    std::string target;
    Format format;
    std::int64_t wholeBytes;
  } cases[] = {
      {"interlaced.png[interlace]", Format::png, kPixels * 3},
      {"frame.gif", Format::gif, kPixels * 4},
      {"photo.heic[compression=hevc]", Format::heif, kPixels * 6},
  };
  for (const auto &c : cases) {
    saveFlat(dir.file(c.target).string(), 1200, 900, 3);
    const Charge charge = chargeOf(dir.file(c.target.substr(0, c.target.find('['))));
    EXPECT_EQ(charge.format, c.format) << c.target;
    EXPECT_GE(charge.bytes - streamed, c.wholeBytes) << c.target;
  }
}

TEST(DecodeCost, aTiffIsChargedOneStripOrRowOfTilesAtATimeAndATallStripOneRow) {
  testsupport::TempDir dir;
  constexpr std::int64_t kWhole = std::int64_t{1200} * 900 * 3;
  saveFlat(dir.file("strips.tif").string() + "[tile_height=64,compression=lzw]", 1200, 900, 3);
  saveFlat(dir.file("tiles.tif").string() + "[tile,tile_height=128,tile_width=128]", 1200, 900, 3);
  saveFlat(dir.file("one-strip.tif").string() + "[tile_height=900]", 1200, 900, 3);
  const Charge strips = chargeOf(dir.file("strips.tif"));
  const Charge oneStrip = chargeOf(dir.file("one-strip.tif"));
  ASSERT_TRUE(strips.tiff.has_value());
  EXPECT_EQ(strips.tiff->rowsPerChunk, 64);
  EXPECT_TRUE(strips.tiff->compressed);
  const Charge tiles = chargeOf(dir.file("tiles.tif"));
  ASSERT_TRUE(tiles.tiff.has_value());
  EXPECT_EQ(tiles.tiff->rowsPerChunk, 128);
  ASSERT_TRUE(oneStrip.tiff.has_value());
  EXPECT_EQ(oneStrip.tiff->rowsPerChunk, 900);
  EXPECT_FALSE(oneStrip.tiff->compressed);
  // libvips reads a strip of more than 128 rows through libtiff one row at a time.
  EXPECT_TRUE(oneStrip.tiff->byScanline);
  EXPECT_FALSE(strips.tiff->byScanline || tiles.tiff->byScanline);
  EXPECT_LT(oneStrip.bytes, strips.bytes);
  EXPECT_LT(strips.bytes - chargeOf(dir.file("tiles.tif")).bytes, kWhole);
}

TEST(DecodeCost, aDecodeIsReservedUpToTheCeilingAndRefusedPastIt) {
  testsupport::TempDir dir;
  ASSERT_TRUE(vipsruntime::ensureStarted());
  // Interlaced, this picture is held whole: far more than a worker's share.
  const auto path =
      dir.write("huge.png", testsupport::claimingPng(14000, 14000, PngColour::rgba, true));
  const std::int64_t charge = chargeOf(path).bytes;
  ASSERT_GT(charge, decodebudget::kShare);
  for (const std::int64_t ceiling : {charge, charge - 1}) {
    decodebudget::overrideCeiling(ceiling);
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    auto photo =
        photosource::open(fd.get(), static_cast<std::int64_t>(std::filesystem::file_size(path)));
    ASSERT_TRUE(photo.hasValue());
    const VipsImagePtr header(vips_image_new_from_source(photo->source.get(), "", "access",
                                                         VIPS_ACCESS_SEQUENTIAL, nullptr));
    ASSERT_TRUE(header);
    const auto reserved = photosource::reserveDecode(*photo, Format::png, header.get(), {});
    decodebudget::overrideCeiling(std::nullopt);
    ASSERT_EQ(reserved.hasValue(), ceiling == charge);
    if (reserved) {
      EXPECT_EQ(reserved->bytes(), charge);
    } else {
      EXPECT_EQ(reserved.error().kind, photosource::Failure::Kind::tooLarge);
      EXPECT_TRUE(reserved.error().message.contains(
          QStringLiteral("needs %1 MB").arg((charge + kMiB - 1) / kMiB)))
          << qPrintable(reserved.error().message);
    }
  }
}

TEST(DecodeCost, headerFieldsWhoseProductOverflowsChargeTheMostNotAWrappedValue) {
  ASSERT_TRUE(vipsruntime::ensureStarted());
  // Ten million square with 65,535 bands of doubles: 5 × 10^19 bytes, past 64 bits.
  const VipsImagePtr header(vips_image_new());
  vips_image_init_fields(header.get(), 10'000'000, 10'000'000, 65535, VIPS_FORMAT_DOUBLE,
                         VIPS_CODING_NONE, VIPS_INTERPRETATION_MULTIBAND, 1.0, 1.0);
  for (const Format format : {Format::tiff, Format::heif}) {
    EXPECT_EQ(decodecost::peakBytes(format, header.get(), {}, {}),
              std::numeric_limits<std::int64_t>::max())
        << static_cast<int>(format);
  }
  // Formats that stream rows or fix their bands still pass any ceiling by far.
  for (const Format format : {Format::png, Format::jpeg, Format::webp, Format::gif}) {
    EXPECT_GT(decodecost::peakBytes(format, header.get(), {}, {}), std::int64_t{1} << 36)
        << static_cast<int>(format);
  }
}

TEST(DecodeCost, aJpegsStreamStaysChargedUntilItsDecodeMayHoldAllItNeeds) {
  testsupport::TempDir dir;
  const std::string path = dir.file("photo.jpg").string();
  saveFlat(path + "[Q=90]", 1600, 1200, 3);
  decodebudget::overrideCeiling(decodebudget::kShare);
  decodebudget::overrideTotal(decodebudget::kShare);
  // Room for the stream, not for its decode.
  auto others = decodebudget::reserve(decodebudget::total() - kMiB);
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  const auto size = static_cast<std::int64_t>(std::filesystem::file_size(path));
  std::int64_t charge = 0;
  {
    auto photo = photosource::open(fd.get(), size);
    ASSERT_TRUE(photo.hasValue());
    EXPECT_EQ(photo->reading.bytes(), photo->length);
    const VipsImagePtr header(vips_image_new_from_source(photo->source.get(), "", "access",
                                                         VIPS_ACCESS_SEQUENTIAL, nullptr));
    ASSERT_TRUE(header);
    charge = photosource::decodeCharge(*photo, Format::jpeg, header.get(), {});
    auto reserving = std::async(std::launch::async, [&] {
      return photosource::reserveDecode(*photo, Format::jpeg, header.get(), {});
    });
    testsupport::waitFor([&] {
      return reserving.wait_for(std::chrono::seconds(0)) == std::future_status::ready ||
             decodebudget::waiting(decodebudget::Lane::scan) > 0;
    });
    const bool waited = decodebudget::waiting(decodebudget::Lane::scan) > 0;
    others = decodebudget::Reservation();
    const auto reserved = reserving.get();
    EXPECT_FALSE(waited) << "it must not wait while its stream is in memory";
    ASSERT_FALSE(reserved.hasValue());
    EXPECT_EQ(reserved.error().kind, photosource::Failure::Kind::mustWait);
    EXPECT_EQ(reserved.error().bytes, charge);
    EXPECT_EQ(photo->reading.bytes(), photo->length) << "the stream is still counted";
  }
  // Read again under what its decode needs, it takes that over without waiting.
  auto again = photosource::open(fd.get(), size, decodebudget::reserve(charge));
  ASSERT_TRUE(again.hasValue());
  const VipsImagePtr reread(vips_image_new_from_source(again->source.get(), "", "access",
                                                       VIPS_ACCESS_SEQUENTIAL, nullptr));
  const auto taken = photosource::reserveDecode(*again, Format::jpeg, reread.get(), {});
  decodebudget::overrideCeiling(std::nullopt);
  decodebudget::overrideTotal(std::nullopt);
  ASSERT_TRUE(taken.hasValue());
  EXPECT_EQ(taken->bytes(), charge);
  EXPECT_EQ(decodebudget::held(), charge);
}

TEST(DecodeCost, aSizeOfNoPixelsIsChargedAsOnePixel) {
  testsupport::TempDir dir;
  for (const char *name : {"photo.jpg", "photo.webp"}) {
    saveFlat(dir.file(name).string(), 1600, 1200, 3);
    const std::int64_t one = chargeOf(dir.file(name), {1, false}).bytes;
    for (const int maxPixel : {0, -5, std::numeric_limits<int>::min()}) {
      EXPECT_EQ(chargeOf(dir.file(name), {maxPixel, false}).bytes, one) << name << maxPixel;
    }
  }
}
