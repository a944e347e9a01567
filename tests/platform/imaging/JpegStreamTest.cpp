#include "platform/core/imaging/JpegStream.h"
#include "tests/support/TempDir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

using namespace platform;

namespace {

std::string segment(int marker, const std::string &body) {
  const auto length = static_cast<int>(body.size()) + 2;
  return std::string{'\xFF', static_cast<char>(marker), static_cast<char>(length >> 8),
                     static_cast<char>(length & 0xFF)} +
         body;
}

/// A frame header of `width` × `height` with the sampling factors given per component.
std::string frame(int marker, int width, int height, const std::string &factors) {
  std::string body{8,
                   static_cast<char>(height >> 8),
                   static_cast<char>(height & 0xFF),
                   static_cast<char>(width >> 8),
                   static_cast<char>(width & 0xFF),
                   static_cast<char>(factors.size())};
  for (std::size_t c = 0; c < factors.size(); ++c) {
    body += std::string{static_cast<char>(c + 1), factors[c], 0};
  }
  return segment(marker, body);
}

/// A scan whose coded data holds a stuffed 0xFF and a restart marker, as real data does.
std::string scan() {
  return segment(0xDA, std::string(6, '\0')) + "ab\xFF\x00"
                                               "cd\xFF\xD3"
                                               "ef";
}

const std::string kStart = "\xFF\xD8";
const std::string kEnd = "\xFF\xD9";

Expected<jpegstream::Stream, jpegstream::Failure>
readBytes(const testsupport::TempDir &dir, const std::string &bytes, std::int64_t limit = 1 << 20) {
  const auto path = dir.write("stream.jpg", bytes);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  auto stream = jpegstream::read(fd, limit);
  ::close(fd);
  return stream;
}

} // namespace

TEST(JpegStream, readsThroughTheEndMarkerAndNoFurther) {
  testsupport::TempDir dir;
  // An APP segment holding an embedded thumbnail's own end marker does not end the stream.
  const std::string jpeg = kStart + segment(0xE1, "Exif" + kEnd) +
                           frame(0xC0, 1000, 600, "\x22\x11\x11") + scan() + kEnd;
  const auto stream = readBytes(dir, jpeg + std::string(300000, '\0') + kEnd);
  ASSERT_TRUE(stream.hasValue());
  EXPECT_EQ(std::string(stream->bytes.begin(), stream->bytes.end()), jpeg);
  ASSERT_TRUE(stream->layout.has_value());
  EXPECT_EQ(stream->layout->width, 1000);
  EXPECT_EQ(stream->layout->height, 600);
  EXPECT_FALSE(stream->layout->progressive);
  EXPECT_EQ(stream->layout->scans, 1);
  EXPECT_EQ(stream->layout->bufferedBytes(), 0);
  // 4:2:0 in 16 × 16 MCUs: luma 126 × 76 blocks, each chroma 63 × 38, 128 bytes a block.
  EXPECT_EQ(stream->layout->coefficientBytes, (126 * 76 + 2 * 63 * 38) * 128);
}

TEST(JpegStream, keptCoefficientsCountForProgressiveAndMultiScanFilesOnly) {
  testsupport::TempDir dir;
  const auto layoutOf = [&](int marker, int scans) {
    std::string jpeg = kStart + frame(marker, 800, 800, "\x11\x11\x11");
    for (int i = 0; i < scans; ++i) {
      jpeg += scan();
    }
    return readBytes(dir, jpeg + kEnd)->layout.value();
  };
  const std::int64_t all = std::int64_t{100} * 100 * 3 * 128;
  EXPECT_EQ(layoutOf(0xC2, 1).bufferedBytes(), all);
  EXPECT_EQ(layoutOf(0xC0, 3).bufferedBytes(), all);
  EXPECT_EQ(layoutOf(0xC0, 1).bufferedBytes(), 0);
}

TEST(JpegStream, truncatedOverlongAndForeignStreams) {
  testsupport::TempDir dir;
  const std::string cut = kStart + frame(0xC0, 64, 64, "\x11") + scan();
  const auto truncated = readBytes(dir, cut);
  ASSERT_TRUE(truncated.hasValue());
  EXPECT_EQ(truncated->bytes.size(), cut.size());
  // Coded data running on past the limit (a stream followed by zeros and no end marker).
  const auto overlong = readBytes(dir, cut + std::string(200000, '\0'), 100000);
  ASSERT_FALSE(overlong.hasValue());
  EXPECT_EQ(overlong.error(), jpegstream::Failure::tooLong);
  const auto foreign = readBytes(dir, "\x89PNG\r\n\x1a\n" + std::string(100, 'x'));
  ASSERT_FALSE(foreign.hasValue());
  EXPECT_EQ(foreign.error(), jpegstream::Failure::unreadable);
}
