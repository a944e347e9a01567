// The saved quality read from a JPEG file's own quantisation tables.
#include "engine/imaging/JpegQuality.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <string>

namespace lumora {
namespace {

/// A small JPEG saved by libvips at `quality`, as bytes.
std::string savedAt(const testsupport::TempDir &dir, int quality) {
  const auto path = dir.file("q" + std::to_string(quality) + ".jpg");
  EXPECT_TRUE(testsupport::writeImage(
      path.string() + "[Q=" + std::to_string(quality) + "]", 48, 32, [](int x, int y) {
        return testsupport::Rgb{static_cast<std::uint8_t>(x * 5), static_cast<std::uint8_t>(y * 7),
                                90};
      }));
  return testsupport::readBytes(path);
}

/// `jpeg` with a segment of `size` bytes of `marker` put right after its start of image.
std::string withSegment(const std::string &jpeg, unsigned char marker, std::size_t size) {
  std::string segment{'\xff', static_cast<char>(marker), static_cast<char>((size + 2) >> 8),
                      static_cast<char>((size + 2) & 0xff)};
  segment += std::string(size, 'x');
  return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

TEST(JpegQuality, readsTheQualityAFileWasSavedAtAndItsCoarserStepsBelowIt) {
  testsupport::TempDir dir;
  float previousStep = 0;
  for (int quality : {98, 92, 85, 70, 60, 40}) {
    const auto saved = jpegquality::fromHeader(savedAt(dir, quality));
    ASSERT_TRUE(saved.has_value()) << quality;
    EXPECT_EQ(saved->quality, quality);
    EXPECT_GT(saved->detailStep, previousStep) << quality;
    previousStep = saved->detailStep;
    EXPECT_EQ(jpegquality::fromFile(dir.file("q" + std::to_string(quality) + ".jpg").string()),
              saved);
  }
}

TEST(JpegQuality, findsTheTablesBehindLongSegmentsAndAcrossTheFirstRead) {
  testsupport::TempDir dir;
  const std::string jpeg = savedAt(dir, 75);
  // A large colour profile or preview before the tables: past the first 64 KiB read.
  std::string bytes = jpeg;
  for (int i = 0; i < 3; ++i)
    bytes = withSegment(bytes, 0xe2, 65000);
  const auto path = dir.write("profiled.jpg", bytes);
  const auto saved = jpegquality::fromFile(path.string());
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->quality, 75);
  EXPECT_EQ(jpegquality::fromHeader(bytes), saved);
}

TEST(JpegQuality, losslessDamagedAndHostileBytesGiveNothingAndReadNoFurther) {
  testsupport::TempDir dir;
  const std::string jpeg = savedAt(dir, 80);
  ASSERT_TRUE(testsupport::writeImage(dir.file("a.png").string(), 8, 8, [](int, int) {
    return testsupport::Rgb{1, 2, 3};
  }));
  EXPECT_FALSE(jpegquality::fromFile(dir.file("a.png").string()).has_value());
  EXPECT_FALSE(jpegquality::fromFile(dir.file("missing.jpg").string()).has_value());
  EXPECT_FALSE(jpegquality::fromFile(dir.path().string()).has_value());
  EXPECT_FALSE(jpegquality::fromHeader("").has_value());
  EXPECT_FALSE(jpegquality::fromHeader(std::string("\xff\xd8\xff\xda\x00\x02", 6)).has_value());
  // A table of an unknown precision, and a segment whose length runs past the bytes.
  std::string badPrecision = withSegment(jpeg, 0xdb, 65);
  badPrecision[4] = '\x20';
  EXPECT_FALSE(jpegquality::fromHeader(badPrecision).has_value());
  EXPECT_FALSE(jpegquality::fromHeader(std::string("\xff\xd8\xff\xdb\xff\xff\x00", 7)).has_value());
  // Every cut of a valid file reads the same table or none; none reads past its end (the
  // sanitizers watch the copies, which have no bytes to spare).
  const auto whole = jpegquality::fromHeader(jpeg);
  for (std::size_t length = 0; length < jpeg.size(); length += 7) {
    const std::string cut = jpeg.substr(0, length);
    const auto read = jpegquality::fromHeader(cut);
    EXPECT_TRUE(!read || read == whole) << length;
  }
}

} // namespace
} // namespace lumora
