// analyze-throughput [FOLDER]: the cost of analysing one 512-pixel thumbnail on one core.
// With FOLDER, up to 64 images from it are decoded first (decoding is not timed); without,
// a synthetic 512 × 384 photograph-like image is used. Prints the mean milliseconds of
// thread CPU time per analysis, over several rounds, and the fastest round: CPU time, so that
// other work on a busy machine does not count.

#include "BenchScan.h"

#include "engine/analysis/VisionAnalyzer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>
#include <system_error>
#include <vector>

namespace {

platform::DecodedImage syntheticPhoto() {
  platform::DecodedImage t{512, 384, 3, std::vector<std::uint8_t>(512 * 384 * 3)};
  std::mt19937 rng(1);
  for (int y = 0; y < t.height; ++y) {
    for (int x = 0; x < t.width; ++x) {
      for (int c = 0; c < 3; ++c) {
        const double v = 128 + 60 * std::sin(0.03 * x * (c + 1) + 0.02 * y) + (rng() % 16);
        t.pixels[(static_cast<std::size_t>(y) * t.width + x) * 3 + c] =
            static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
      }
    }
  }
  return t;
}

/// Up to 64 thumbnails of the folder's images; none when the folder cannot be listed.
std::vector<platform::DecodedImage> loadFolder(const char *folder) {
  std::vector<platform::DecodedImage> out;
  std::error_code error;
  std::filesystem::directory_iterator entries(folder, error);
  if (error) {
    std::fprintf(stderr, "analyze-throughput: cannot list %s: %s\n", folder,
                 error.message().c_str());
    return out;
  }
  for (const auto &entry : entries) {
    if (out.size() >= 64)
      break;
    if (auto t = benchtools::loadThumbnail(entry.path()))
      out.push_back(std::move(*t));
  }
  return out;
}

double cpuMilliseconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

} // namespace

int main(int argc, char **argv) {
  if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
    std::fprintf(stderr, "usage: analyze-throughput [FOLDER]\n"
                         "(without a folder: one synthetic 512-pixel photo)\n");
    return 2;
  }
  std::vector<platform::DecodedImage> images =
      argc > 1 ? loadFolder(argv[1]) : std::vector<platform::DecodedImage>{syntheticPhoto()};
  if (images.empty()) {
    std::fprintf(stderr, "analyze-throughput: no readable images\n");
    return 1;
  }
  constexpr int kRounds = 5;
  const int perRound = std::max<int>(200, static_cast<int>(images.size()));
  double best = 1e9, total = 0;
  float sink = 0;
  for (int round = 0; round < kRounds; ++round) {
    const double start = cpuMilliseconds();
    for (int i = 0; i < perRound; ++i) {
      const auto result =
          lumora::VisionAnalyzer::analyze(benchtools::viewOf(images[i % images.size()]));
      if (result)
        sink += result->score;
    }
    const double ms = (cpuMilliseconds() - start) / perRound;
    best = std::min(best, ms);
    total += ms;
  }
  std::printf("images: %zu (%dx%d first)\nanalysis: %.3f ms per photo (mean of %d rounds), %.3f ms "
              "fastest round\n",
              images.size(), images[0].width, images[0].height, total / kRounds, kRounds, best);
  return sink == 12345.0f ? 1 : 0;
}
