// Decodes every image of a folder the way a scan does and prints photos per second.
//
//   decode-throughput FOLDER [--threads N] [--max-pixel N] [--vips-threads N] [--repeat N]
//
// --vips-threads sets the worker threads of each vips pipeline (vips's default otherwise).
#include "engine/imaging/ImageLoader.h"
#include "platform/core/imaging/VipsImage.h"
#include "platform/core/imaging/VipsRuntime.h"

#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>
#include <vector>

using namespace lumora;

namespace {

struct Settings {
  QString folder;
  int threads = 4;
  int maxPixel = 512;
  int vipsThreads = 0;
  int repeat = 1;
};

bool parse(int argc, char **argv, Settings &settings) {
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--threads") == 0 && hasValue) {
      settings.threads = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--max-pixel") == 0 && hasValue) {
      settings.maxPixel = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--vips-threads") == 0 && hasValue) {
      settings.vipsThreads = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--repeat") == 0 && hasValue) {
      settings.repeat = std::max(1, std::atoi(argv[++i]));
    } else if (argv[i][0] != '-' && settings.folder.isEmpty()) {
      settings.folder = QString::fromLocal8Bit(argv[i]);
    } else {
      return false;
    }
  }
  return !settings.folder.isEmpty();
}

} // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  Settings settings;
  if (!parse(argc, argv, settings)) {
    std::fprintf(stderr, "usage: decode-throughput FOLDER [--threads N] [--max-pixel N] "
                         "[--vips-threads N] [--repeat N]\n");
    return 2;
  }
  if (!platform::vipsruntime::ensureStarted()) {
    std::fprintf(stderr, "libvips could not be started\n");
    return 1;
  }
  if (settings.vipsThreads > 0) {
    vips_concurrency_set(settings.vipsThreads);
  }
  ScanOptions options;
  options.minFileSize = 0;
  const auto listed = ImageLoader::enumerate({QUrl::fromLocalFile(settings.folder)}, options);
  std::vector<QUrl> urls;
  for (int r = 0; r < settings.repeat; ++r) {
    for (const auto &file : listed.files) {
      urls.push_back(file.url);
    }
  }
  std::atomic<std::size_t> next{0};
  std::atomic<std::size_t> decoded{0};
  const auto start = std::chrono::steady_clock::now();
  const std::clock_t cpuStart = std::clock();
  {
    std::vector<std::jthread> workers;
    for (int t = 0; t < settings.threads; ++t) {
      workers.emplace_back([&] {
        for (std::size_t i = next++; i < urls.size(); i = next++) {
          if (ImageLoader::load(urls[i], settings.maxPixel)) {
            ++decoded;
          }
        }
      });
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // CPU time is what a loaded machine cannot distort: it says what one photo costs.
  const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
  const double count = static_cast<double>(std::max<std::size_t>(urls.size(), 1));
  std::printf("%zu files, %zu decoded, %d threads, max %d px: %.2f s, %.1f photos/s, "
              "%.1f ms CPU per photo\n",
              urls.size(), decoded.load(), settings.threads, settings.maxPixel, seconds,
              static_cast<double>(urls.size()) / seconds, cpuSeconds * 1000.0 / count);
  return 0;
}
