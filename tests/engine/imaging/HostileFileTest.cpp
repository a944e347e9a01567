#include "engine/imaging/ImageDecoder.h"
#include "platform/core/photolibrary/ImageDecoding.h"
#include "tests/engine/imaging/ImagingFixtures.h"
#include "tests/support/TempDir.h"

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>

using namespace lumora;
using namespace fixtures;
namespace fs = std::filesystem;

namespace {

/// Bytes this process has read through read and pread so far.
std::int64_t bytesRead() {
  std::ifstream io("/proc/self/io");
  std::string key;
  std::int64_t value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") {
      return value;
    }
  }
  return -1;
}

/// Cuts the file short and writes it back in pieces, in place (same inode), over and over,
/// as a program saving a photo over an old copy does.
void rewriteInPlace(const fs::path &path, const std::string &bytes, std::mt19937 &random) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  const auto cut = std::uniform_int_distribution<std::size_t>(0, bytes.size() / 2)(random);
  ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(cut)), 0);
  for (std::size_t at = cut; at < bytes.size(); at += 4096) {
    const std::size_t size = std::min<std::size_t>(4096, bytes.size() - at);
    ASSERT_EQ(::pwrite(fd, bytes.data() + at, size, static_cast<off_t>(at)),
              static_cast<ssize_t>(size));
  }
  ::close(fd);
}

std::string progressiveJpeg(const testsupport::TempDir &dir) {
  const auto path = dir.file("source.jpg");
  save(twoHalves(64, 48, kRed, kBlue), path.string() + "[interlace,subsample_mode=off]");
  return readFile(path);
}

} // namespace

TEST(HostileFiles, photosCutShortAndRewrittenWhileDecodedFailOrDecodeButNeverCrash) {
  testsupport::TempDir dir;
  const auto picture = twoHalves(600, 400, kRed, kBlue);
  std::vector<std::pair<fs::path, std::string>> files;
  for (const std::string name : {"a.jpg", "b.png", "c.webp", "d.gif", "e.tif", "f.jpg"}) {
    const auto path = dir.file(name);
    save(picture, name == "f.jpg" ? path.string() + "[interlace]" : path.string());
    files.emplace_back(path, readFile(path));
  }
  std::atomic<bool> stop = false;
  std::jthread writer([&] {
    std::mt19937 random(7);
    while (!stop) {
      for (const auto &[path, bytes] : files) {
        rewriteInPlace(path, bytes, random);
      }
    }
  });
  // Bounded by rounds and by time, so that a slow machine still ends.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(8);
  for (int round = 0; round < 60 && std::chrono::steady_clock::now() < deadline; ++round) {
    for (const auto &[path, bytes] : files) {
      const auto decoded = imagedecoder::decodeFile(path.string(), 256);
      EXPECT_TRUE(!decoded || !decoded->image.isEmpty()) << path;
      const auto fitted = platform::imagedecoding::decodeFitted(path, {128, 128});
      EXPECT_TRUE(!fitted || !fitted.value().isEmpty()) << path;
    }
  }
  stop = true;
  writer.join();
  for (const auto &[path, bytes] : files) {
    EXPECT_TRUE(imagedecoder::decodeFile(path.string(), 256).hasValue()) << path;
  }
}

TEST(HostileFiles, aPhotoFollowedByAHugeTailDecodesWithoutReadingTheTail) {
  testsupport::TempDir dir;
  constexpr off_t kTail = off_t{4} << 30; // sparse: takes no disk space
  for (const std::string name : {"tail.jpg", "tail.png", "tail.webp"}) {
    const auto path = dir.file(name);
    save(twoHalves(640, 480, kRed, kBlue), path);
    ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(fs::file_size(path)) + kTail), 0);
    const std::int64_t before = bytesRead();
    const auto decoded = imagedecoder::decodeFile(path.string(), 256);
    ASSERT_TRUE(decoded.hasValue()) << name << ": " << qPrintable(decoded.error().message);
    EXPECT_TRUE(near(meanColour(decoded->image, 0.05, 0.1, 0.4, 0.9), kRed, 12)) << name;
    const auto fitted = platform::imagedecoding::decodeFitted(path, {128, 128});
    EXPECT_TRUE(fitted.hasValue()) << name;
    EXPECT_LT(bytesRead() - before, std::int64_t{16} << 20) << name;
  }
  // Without its end marker the zeros look like coded data: read up to the limit, refused.
  save(twoHalves(640, 480, kRed, kBlue), dir.file("whole.jpg"));
  std::string jpeg = readFile(dir.file("whole.jpg"));
  jpeg.resize(jpeg.size() / 2);
  const auto cut = dir.write("cut.jpg", jpeg);
  ASSERT_EQ(::truncate(cut.c_str(), static_cast<off_t>(jpeg.size()) + kTail), 0);
  const auto refused = imagedecoder::decodeFile(cut.string(), 256);
  ASSERT_FALSE(refused.hasValue());
  EXPECT_EQ(refused.error().kind, DecodeError::Kind::tooLarge);
}

TEST(HostileFiles, aJpegWhoseKeptCoefficientsPassTheCeilingIsRefusedBeforeDecoding) {
  testsupport::TempDir dir;
  const std::string progressive = progressiveJpeg(dir);
  // 12000 × 12000 is under the pixel limit, but a progressive decode keeps 2 bytes for each
  // of the 3 × 144 million coefficients: 864 MB, past the ceiling of any machine.
  const auto big = dir.write("big.jpg", withJpegSize(progressive, 12000, 12000));
  const auto refused = imagedecoder::decodeFile(big.string(), 512);
  ASSERT_FALSE(refused.hasValue());
  EXPECT_EQ(refused.error().kind, DecodeError::Kind::tooLarge);
  EXPECT_TRUE(refused.error().message.contains(QStringLiteral("MB")))
      << qPrintable(refused.error().message);
  EXPECT_FALSE(refused.error().overPixelLimit) << "refused for its memory, not its pixels";
  const auto fitted = platform::imagedecoding::decodeFitted(big, {256, 256});
  ASSERT_FALSE(fitted.hasValue());
  EXPECT_TRUE(fitted.error().tooLarge) << qPrintable(fitted.error().message);

  // The same size decoded sequentially needs one row of blocks at a time: not refused for
  // its memory (its data is simply too short for that size).
  save(twoHalves(64, 48, kRed, kBlue), dir.file("baseline.jpg").string() + "[subsample_mode=off]");
  const auto claimed =
      dir.write("claimed.jpg", withJpegSize(readFile(dir.file("baseline.jpg")), 12000, 12000));
  const auto sequential = imagedecoder::decodeFile(claimed.string(), 512);
  EXPECT_TRUE(sequential || sequential.error().kind != DecodeError::Kind::tooLarge);
  // 212 million pixels are over the pixel limit whatever memory the machine has.
  const auto huge =
      dir.write("huge.jpg", withJpegSize(readFile(dir.file("baseline.jpg")), 16000, 13250));
  const auto overPixels = imagedecoder::decodeFile(huge.string(), 512);
  ASSERT_FALSE(overPixels.hasValue());
  EXPECT_EQ(overPixels.error().kind, DecodeError::Kind::tooLarge);
  EXPECT_TRUE(overPixels.error().overPixelLimit) << qPrintable(overPixels.error().message);
  // A progressive photo of an ordinary size still decodes.
  const auto small = dir.write("small.jpg", progressive);
  EXPECT_TRUE(imagedecoder::decodeFile(small.string(), 512).hasValue());
}
