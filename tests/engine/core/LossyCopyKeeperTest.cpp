// A photo beside a lossy copy of itself: the folder scan's analysis must keep the original.
#include "engine/cluster/Clusterer.h"
#include "engine/core/FolderPhotoSource.h"
#include "tests/support/BlockCoding.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/TempDir.h"

#include <QUrl>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lumora {
namespace {

/// A grainy outdoor-like scene, defined everywhere on [0, 1)²: a sky gradient, a textured
/// field, a few hard edges, and sensor grain fixed per cell of a `grainCells` grid. Copies at
/// another size sample the same scene.
testsupport::Rgb scene(double u, double v, int seed, int grainCells, double grain = 14.0) {
  const double field = v > 0.45 ? 1.0 : 0.0;
  double grey = 170.0 - 60.0 * v + field * (25.0 * std::sin(u * 90.0 + seed) * std::sin(v * 70.0));
  grey += (std::fmod(u * 7.0 + seed * 0.3, 1.0) < 0.08 && v > 0.3) ? -70.0 : 0.0;
  const auto cellX = static_cast<std::uint32_t>(u * grainCells);
  const auto cellY = static_cast<std::uint32_t>(v * grainCells);
  std::uint32_t h = (cellX * 73856093u) ^ (cellY * 19349663u) ^ static_cast<std::uint32_t>(seed);
  h = (h ^ (h >> 13)) * 1274126177u;
  grey += (static_cast<double>(h >> 24) / 255.0 - 0.5) * grain;
  const auto level = [](double x) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(x, 0.0, 255.0)));
  };
  return {level(grey + 20.0 * field), level(grey + 10.0), level(grey - 25.0 * field + 30.0 * v)};
}

/// Writes the scene at `width` × `height` to `path` (the saver and its options follow the
/// name, as libvips reads it), with grain of `grain` levels in cells of about a pixel of a
/// 900-pixel-wide picture.
void writeScene(const std::string &path, int width, int height, int seed, double grain = 14.0) {
  ASSERT_TRUE(testsupport::writeImage(path, width, height, [&](int x, int y) {
    return scene((x + 0.5) / width, (y + 0.5) / height, seed, 900, grain);
  }));
}

/// The photo a folder scan makes of the file at `path`.
PhotoItem scanned(const std::filesystem::path &path) {
  FolderPhotoSource source({QUrl::fromLocalFile(QString::fromStdString(path.string()))},
                           ScanOptions{});
  EXPECT_FALSE(source.list().has_value());
  const auto analysis = source.analyze(0);
  EXPECT_TRUE(analysis.has_value());
  return analysis ? source.analysedPhoto(0, *analysis) : PhotoItem{};
}

/// The path of the photo the best-photo choice keeps of `original` and `copy`.
std::string keeper(const std::filesystem::path &original, const std::filesystem::path &copy) {
  const std::vector<PhotoItem> items{scanned(copy), scanned(original)};
  return items[Clusterer::pickBestFirst(items, {0, 1}).front()].id;
}

struct Copy {
  const char *original; ///< the original's name, with the saver's options
  const char *copy;     ///< the copy's
  double size;          ///< the copy's side over the original's
};

class LossyCopyKeeper : public ::testing::TestWithParam<Copy> {};

TEST_P(LossyCopyKeeper, theOriginalIsKeptForEveryScene) {
  const Copy kind = GetParam();
  for (int seed = 0; seed < 3; ++seed) {
    testsupport::TempDir dir;
    const std::string original = (dir.path() / ("original-" + std::string(kind.original))).string();
    const std::string copy = (dir.path() / ("copy-" + std::string(kind.copy))).string();
    writeScene(original, 900, 675, seed);
    writeScene(copy, static_cast<int>(900 * kind.size), static_cast<int>(675 * kind.size), seed);
    const auto bare = [](const std::string &path) { return path.substr(0, path.find('[')); };
    EXPECT_EQ(keeper(bare(original), bare(copy)), bare(original)) << "scene " << seed;
  }
}

TEST(LossyCopyKeeperLossless, aLosslessOriginalBeatsAGoodJpegOfIt) {
  // Faint grain that a good JPEG smooths away: the copy looks cleaner and once scored
  // higher, PNG and TIFF alike.
  for (const char *format : {"png", "tif"}) {
    for (int seed = 0; seed < 3; ++seed) {
      testsupport::TempDir dir;
      const std::string original = (dir.path() / "original.").string() + format;
      writeScene(original, 900, 675, seed, 5.0);
      writeScene((dir.path() / "copy.jpg[Q=90]").string(), 900, 675, seed, 5.0);
      EXPECT_EQ(keeper(original, dir.path() / "copy.jpg"), original)
          << format << ", scene " << seed;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, LossyCopyKeeper,
    ::testing::Values(Copy{"a.jpg[Q=95]", "a.jpg[Q=70]", 1.0},   // a re-save
                      Copy{"a.jpg[Q=95]", "a.jpg[Q=75]", 0.85},  // a smaller re-save
                      Copy{"a.jpg[Q=95]", "a.jpg[Q=75]", 0.7})); // a messenger's copy

/// A dim indoor frame with soft shapes and a little fine pattern, averaged over a square of
/// side `blur` (in the frame's width) for a shaken copy: a scene with so little detail that a
/// good save's rounding is a fair share of it.
testsupport::Rgb dimFrame(double u, double v, double blur) {
  double sum = 0;
  constexpr int kTaps = 7;
  for (int i = 0; i < kTaps * kTaps; ++i) {
    const double x = u + blur * ((i % kTaps) / (kTaps - 1.0) - 0.5);
    const double y = v + blur * ((i / kTaps) / (kTaps - 1.0) - 0.5);
    double grey = 38.0 + 22.0 * x + (std::hypot(x - 0.6, y - 0.4) < 0.15 ? 30.0 : 0.0);
    grey += (x > 0.2 && x < 0.25) ? 18.0 : 0.0;
    grey += 3.0 * std::sin(x * 300.0) * std::sin(y * 260.0);
    sum += grey;
  }
  const auto level = static_cast<std::uint8_t>(std::lround(sum / (kTaps * kTaps)));
  return {level, level, static_cast<std::uint8_t>(level + 6)};
}

TEST(LossyCopyKeeperBurst, aWellSavedFrameBeatsAShakenLosslessOne) {
  // A burst saved as good JPEGs beside one shaken frame kept losslessly: the good save's
  // rounding must not count for more than the blur the eye sees.
  testsupport::TempDir dir;
  const auto write = [&](const std::string &name, double blur) {
    ASSERT_TRUE(testsupport::writeImage(dir.path() / name, 640, 480, [&](int x, int y) {
      return dimFrame((x + 0.5) / 640, (y + 0.5) / 480, blur);
    }));
  };
  write("sound.jpg[Q=94]", 0.0);
  write("shaken.png", 0.012);
  EXPECT_EQ(keeper(dir.path() / "sound.jpg", dir.path() / "shaken.png"),
            (dir.path() / "sound.jpg").string());
}

/// A frame of video, `width` × `height`, of the scene with faint grain; with `blocks`, coded
/// as a coarse encoder codes it: the grain is gone and each 8 × 8 block's mean is off by up to
/// 9 levels, so its edges show.
std::vector<testsupport::Rgb> videoFrame(int width, int height, int seed, bool blocks) {
  std::vector<testsupport::Rgb> frame(static_cast<std::size_t>(width) * height);
  const auto level = [](int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); };
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      testsupport::Rgb p =
          scene((x + 0.5) / width, (y + 0.5) / height, seed, 900, blocks ? 0.0 : 8.0);
      if (blocks) {
        const auto block = static_cast<unsigned>((x / 8) * 7919 + (y / 8) * 104729);
        const int offset = 3 * (static_cast<int>(block % 7u) - 3);
        p = {level(p.r + offset), level(p.g + offset), level(p.b + offset)};
      }
      frame[static_cast<std::size_t>(y) * width + x] = p;
    }
  }
  return frame;
}

TEST(LossyCopyKeeperVideo, aFrameFullOfBlocksLosesToTheCleanFrameOfTheSameInstant) {
  // Both frames stored losslessly, so only their pixels tell: the blocks' edges are no
  // detail (they read as a fifth sharper), and the grain the coder dropped is no cleanliness.
  for (int seed = 0; seed < 3; ++seed) {
    testsupport::TempDir dir;
    for (const bool blocks : {false, true}) {
      const std::vector<testsupport::Rgb> frame = videoFrame(640, 360, seed, blocks);
      ASSERT_TRUE(testsupport::writeImage(dir.path() / (blocks ? "blocks.png" : "clean.png"), 640,
                                          360, [&](int x, int y) { return frame[y * 640 + x]; }));
    }
    const PhotoItem clean = scanned(dir.path() / "clean.png");
    const PhotoItem blocky = scanned(dir.path() / "blocks.png");
    EXPECT_EQ(keeper(dir.path() / "clean.png", dir.path() / "blocks.png"),
              (dir.path() / "clean.png").string())
        << "scene " << seed;
    EXPECT_LT(blocky.sharpness, clean.sharpness) << "scene " << seed;
  }
}

/// The frame of `videoFrame` (without blocks) as a coder predicts it from earlier frames at a
/// low rate: in each 8 × 8 block of the grid at the corner, the fine part of what the
/// prediction misses is rounded away where it is small, channel by channel. Nothing shows at
/// the block borders; the grain inside the blocks is gone.
std::vector<testsupport::Rgb> predictedFrame(int width, int height, int seed) {
  std::vector<testsupport::Rgb> frame = videoFrame(width, height, seed, false);
  const auto coded = [&](std::uint8_t testsupport::Rgb::*channel) {
    std::vector<double> plane(frame.size());
    for (std::size_t i = 0; i < frame.size(); ++i) {
      plane[i] = frame[i].*channel;
    }
    testsupport::blockcoding::recode(plane, width, height, 0, 0, [](int v, int u, double value) {
      return u + v >= 3 && std::abs(value) < 6.0 ? 0.0 : value;
    });
    for (std::size_t i = 0; i < frame.size(); ++i) {
      frame[i].*channel = static_cast<std::uint8_t>(std::lround(std::clamp(plane[i], 0.0, 255.0)));
    }
  };
  coded(&testsupport::Rgb::r);
  coded(&testsupport::Rgb::g);
  coded(&testsupport::Rgb::b);
  return frame;
}

TEST(LossyCopyKeeperVideo, aPredictedFrameLosesToTheCleanFrameOfTheSameInstant) {
  // No block edge shows and the frame looks a little cleaner for the grain it lost: only the
  // coder's trace at the frame's own size tells it from the clean frame.
  for (int seed = 0; seed < 3; ++seed) {
    testsupport::TempDir dir;
    for (const bool predicted : {false, true}) {
      const std::vector<testsupport::Rgb> frame =
          predicted ? predictedFrame(640, 360, seed) : videoFrame(640, 360, seed, false);
      ASSERT_TRUE(testsupport::writeImage(dir.path() / (predicted ? "predicted.png" : "clean.png"),
                                          640, 360,
                                          [&](int x, int y) { return frame[y * 640 + x]; }));
    }
    EXPECT_EQ(keeper(dir.path() / "clean.png", dir.path() / "predicted.png"),
              (dir.path() / "clean.png").string())
        << "scene " << seed;
  }
}

} // namespace
} // namespace lumora
