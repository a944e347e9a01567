// Shows that no decode waits longer than the large decodes queued before it, and that the
// window's thumbnails do not wait for a scan of large photos at all.
//
//   decode-fairness [--folder DIR] [--large-threads N] [--small M] [--seconds S]
//
// The folder (a temporary one unless --folder names one; made when it lacks them, if it is
// empty or a benchmark made it) holds large.heic, a 48-megapixel HEIC (8064 × 6048), and
// small.jpg, a 12-megapixel JPEG.
//
// Part one: N threads (default 3) decode large.heic at 512 pixels over and over, as scan
// workers do on a folder of such photos, while one thread decodes small.jpg at 256 pixels M
// times (default 16), one after another. Decodes are admitted in the order they came, so a
// small decode waits at most until the large decodes in flight when it was asked (running
// or queued) have been admitted: its bound is their number × the time one large decode
// takes (large_decode_s: the run's time over the large decodes it finished, as they run one
// at a time) + the small decode's own time alone. ratio_to_bound is the worst small decode's time
// over its bound and should be at most 1. The large threads stop once the small decodes are done,
// or after S seconds (default 60); small_done counts those done by then.
//
// Part two: the engine scans a folder of eight copies of large.heic with its default
// options while thumbnails of 640 pixels of as many copies of small.jpg are asked from the
// window's thumbnail loader one after another, each 250 ms after the last arrived.
// thumbnail_max_s is the slowest of them and should be at most 1 s; thumbnail_alone_s is
// one asked with nothing else running.

#include "BenchFolders.h"

#include "BenchProcess.h"

#include "app/store/images/ThumbnailLoader.h"
#include "app/store/services/ImageDecode.h"
#include "engine/core/LumoraEngine.h"
#include "engine/imaging/ImageDecoder.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kLargeCopies = 8;

struct Settings {
  std::string folder;
  int largeThreads = 3;
  int small = 16;
  double seconds = 60;
};

bool parse(int argc, char **argv, Settings &settings) {
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--folder") == 0 && hasValue) {
      settings.folder = argv[++i];
    } else if (std::strcmp(argv[i], "--large-threads") == 0 && hasValue) {
      settings.largeThreads = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--small") == 0 && hasValue) {
      settings.small = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--seconds") == 0 && hasValue) {
      settings.seconds = std::max(1.0, std::atof(argv[++i]));
    } else {
      return false;
    }
  }
  return true;
}

/// Seconds one decode of `path` at `maxPixel` takes; negative when it failed.
double timedDecode(const std::string &path, int maxPixel) {
  const double start = benchprocess::now();
  const bool ok = lumora::imagedecoder::decodeFile(path, maxPixel).hasValue();
  return ok ? benchprocess::now() - start : -1;
}

/// The figures of part one.
struct Fairness {
  double smallAlone = 0;
  /// The run's time over the large decodes it finished: one decode's time, when they run
  /// one at a time.
  double largeEach = 0;
  int smallDone = 0;
  double smallMost = 0;
  double ratioToBound = 0;
};

Fairness measureFairness(const Settings &settings, const std::string &large,
                         const std::string &small) {
  Fairness figures;
  figures.smallAlone = 1e9;
  for (int i = 0; i < 3; ++i) {
    figures.smallAlone = std::min(figures.smallAlone, timedDecode(small, 256));
  }
  std::atomic<bool> stop{false};
  std::atomic<int> inFlight{0};
  std::mutex mutex;
  std::size_t largeDone = 0;
  std::vector<std::pair<double, int>> smallTimes; // seconds, large decodes in flight
  const double start = benchprocess::now();
  const double deadline = start + settings.seconds;
  {
    std::vector<std::jthread> workers;
    for (int t = 0; t < settings.largeThreads; ++t) {
      workers.emplace_back([&] {
        while (!stop) {
          ++inFlight;
          (void)lumora::imagedecoder::decodeFile(large, 512);
          --inFlight;
          const std::lock_guard lock(mutex);
          ++largeDone;
        }
      });
    }
    // Let every large thread come to its first decode before the small ones start.
    while (inFlight < settings.largeThreads) {
      std::this_thread::yield();
    }
    std::jthread smallThread([&] {
      for (int i = 0; i < settings.small && benchprocess::now() < deadline; ++i) {
        const int ahead = inFlight;
        const double seconds = timedDecode(small, 256);
        if (benchprocess::now() <= deadline) {
          const std::lock_guard lock(mutex);
          smallTimes.emplace_back(seconds, ahead);
        }
      }
      stop = true;
    });
    while (!stop && benchprocess::now() < deadline) {
      QThread::msleep(50);
    }
    stop = true;
  }
  figures.largeEach =
      (benchprocess::now() - start) / static_cast<double>(std::max<std::size_t>(largeDone, 1));
  figures.smallDone = static_cast<int>(smallTimes.size());
  for (const auto &[seconds, ahead] : smallTimes) {
    figures.smallMost = std::max(figures.smallMost, seconds);
    const double bound = ahead * figures.largeEach + figures.smallAlone;
    figures.ratioToBound = std::max(figures.ratioToBound, seconds / bound);
  }
  return figures;
}

/// Seconds until the window's loader hands over the thumbnail of `path` at 640 pixels.
double timedThumbnail(lumora::ThumbnailLoader &loader, const std::string &path) {
  lumora::PhotoItem item;
  item.id = path;
  item.url = QUrl::fromLocalFile(QString::fromStdString(path));
  QEventLoop loop;
  bool shown = false;
  const double start = benchprocess::now();
  if (loader.thumbnail(item, 640, &loop, [&](const lumora::ThumbnailPtr &thumbnail) {
        shown = thumbnail != nullptr;
        loop.quit();
      })) {
    return 0;
  }
  loop.exec();
  return shown ? benchprocess::now() - start : -1;
}

/// The figures of part two.
struct DuringScan {
  double scanSeconds = 0;
  std::size_t scanned = 0;
  double thumbnailAlone = 0;
  int thumbnails = 0;
  double thumbnailMost = 0;
};

DuringScan measureDuringScan(const QString &scratch, const std::string &large,
                             const std::string &small) {
  DuringScan figures;
  const fs::path scanned = fs::path(scratch.toStdString()) / "scanned";
  const fs::path shown = fs::path(scratch.toStdString()) / "shown";
  fs::create_directories(scanned);
  fs::create_directories(shown);
  std::vector<std::string> thumbnails;
  for (int i = 0; i < kLargeCopies; ++i) {
    fs::create_hard_link(large, scanned / ("large-" + std::to_string(i) + ".heic"));
  }
  for (int i = 0; i <= 4 * kLargeCopies; ++i) {
    thumbnails.push_back((shown / ("small-" + std::to_string(i) + ".jpg")).string());
    fs::create_hard_link(small, thumbnails.back());
  }
  lumora::ThumbnailLoader loader([](const lumora::PhotoItem &item, int maxPixel) {
    return lumora::imagedecode::thumbnail(item.id, maxPixel);
  });
  figures.thumbnailAlone = timedThumbnail(loader, thumbnails.back());
  thumbnails.pop_back();
  std::atomic<bool> done{false};
  std::jthread scan([&] {
    lumora::LumoraEngine engine(scratch + QStringLiteral("/analysis-cache.bin"));
    const double start = benchprocess::now();
    const auto result =
        engine.scan({QUrl::fromLocalFile(QString::fromStdString(scanned))},
                    lumora::ScanOptions::defaults(), [](const lumora::ScanProgress &) {});
    figures.scanSeconds = benchprocess::now() - start;
    figures.scanned = result ? result->items.size() : 0;
    done = true;
  });
  for (const std::string &path : thumbnails) {
    if (done) {
      break;
    }
    QThread::msleep(250);
    const double seconds = timedThumbnail(loader, path);
    figures.thumbnails += seconds >= 0 ? 1 : 0;
    figures.thumbnailMost = std::max(figures.thumbnailMost, seconds);
  }
  return figures;
}

bool generate(const std::string &dir) {
  return benchfolders::saveAndRelease(benchfolders::photoLike(8064, 6048),
                                      dir + "/large.heic[Q=60,bitdepth=8]") &&
         benchfolders::saveAndRelease(benchfolders::photoLike(4032, 3024),
                                      dir + "/small.jpg[Q=90]");
}

} // namespace

int main(int argc, char **argv) {
  Settings settings;
  if (!parse(argc, argv, settings)) {
    std::fprintf(stderr, "usage: decode-fairness [--folder DIR] [--large-threads N] [--small M] "
                         "[--seconds S]\n");
    return 2;
  }
  QTemporaryDir scratch;
  if (settings.folder.empty()) {
    settings.folder = scratch.path().toStdString() + "/photos";
  }
  if (!fs::exists(settings.folder + "/large.heic") || !fs::exists(settings.folder + "/small.jpg")) {
    // Only an empty folder, or one a benchmark made, is filled.
    if (!benchfolders::claimFolder(settings.folder, "decode-fairness") ||
        !benchfolders::buildInChild("decode-fairness", [&] { return generate(settings.folder); })) {
      std::fprintf(stderr, "could not build the photos in %s\n", settings.folder.c_str());
      return 1;
    }
  }
  benchprocess::isolateDataFolders(scratch.path());
  QCoreApplication app(argc, argv);
  const std::string large = settings.folder + "/large.heic";
  const std::string small = settings.folder + "/small.jpg";
  const Fairness f = measureFairness(settings, large, small);
  std::printf("large_threads %d\nlarge_decode_s %.2f\n"
              "small_alone_s %.3f\nsmall_done %d of %d\nsmall_max_s %.2f\n"
              "ratio_to_bound %.3f\n",
              settings.largeThreads, f.largeEach, f.smallAlone, f.smallDone, settings.small,
              f.smallMost, f.ratioToBound);
  const DuringScan d = measureDuringScan(scratch.path(), large, small);
  std::printf("scan_photos %zu\nscan_s %.2f\nthumbnail_alone_s %.3f\n"
              "thumbnails_during_scan %d\nthumbnail_max_s %.3f\n",
              d.scanned, d.scanSeconds, d.thumbnailAlone, d.thumbnails, d.thumbnailMost);
  return 0;
}
