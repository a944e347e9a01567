// Scans a folder of huge, nearly flat PNGs beside a few ordinary photos and prints the peak
// resident memory of the scan, then of the window's way of loading those PNGs.
//
//   png-folder-memory [--folder DIR] [--huge N] [--photos M]
//
// The folder holds N (default 8) PNGs of 14000 × 14000 RGBA pixels (196 megapixels, a
// smooth patch on a flat ground, about 1.5 MB each on disk) and M (default 3) ordinary JPEG
// photos of 12 megapixels. Generation runs in a child process, so that its memory does not
// count in the peak. The scan runs with the engine's default options (four workers) on a
// cold cache and reports how many photos it analysed, of each kind. Then the peak is reset
// and the huge PNGs are decoded as the window loads them: grid thumbnails on four threads
// and previews on two at once. Target: each peak resident memory (VmHWM) at most 600 MB;
// ratio_to_limit is the larger peak ÷ 600 MB and should be at most 1.

#include "BenchFolders.h"

#include "BenchProcess.h"
#include "BenchScan.h"

#include "engine/imaging/ImageDecoder.h"
#include "platform/core/imaging/DecodeBudget.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

namespace {

constexpr double kLimitMB = 600.0;
constexpr int kSide = 14000;
/// What the window asks for: a grid thumbnail and a full-window preview.
constexpr int kGridPixel = 512;
constexpr int kPreviewPixel = 2048;

struct Settings {
  std::string folder;
  int huge = 8;
  int photos = 3;
};

bool parse(int argc, char **argv, Settings &settings) {
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--folder") == 0 && hasValue) {
      settings.folder = argv[++i];
    } else if (std::strcmp(argv[i], "--huge") == 0 && hasValue) {
      settings.huge = std::max(0, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--photos") == 0 && hasValue) {
      settings.photos = std::max(0, std::atoi(argv[++i]));
    } else {
      return false;
    }
  }
  return true;
}

/// A flat RGBA picture of `side` × `side` in a colour of its own, with a small gradient
/// patch so that no two are alike; zlib packs it into about 1.5 MB.
bool saveFlatPng(const std::string &path, int side, int index) {
  VipsImage *black = nullptr;
  VipsImage *ground = nullptr;
  VipsImage *patch = benchfolders::gradient(side / 20, side / 20);
  VipsImage *patched = nullptr;
  VipsImage *rgba = nullptr;
  vips_black(&black, side, side, "bands", 3, nullptr);
  const double scale[] = {1, 1, 1};
  const double offset[] = {40.0 + 20 * index, 90, 200.0 - 15 * index};
  vips_linear(black, &ground, scale, offset, 3, "uchar", TRUE, nullptr);
  vips_insert(ground, patch, &patched, side / 3 + 100 * index, side / 3, nullptr);
  vips_bandjoin_const1(patched, &rgba, 255, nullptr);
  const int failed = rgba == nullptr || vips_pngsave(rgba, path.c_str(), nullptr) != 0;
  for (VipsImage *image : {black, ground, patch, patched, rgba}) {
    if (image != nullptr) {
      g_object_unref(image);
    }
  }
  return failed == 0;
}

bool generate(const std::string &dir, const Settings &settings) {
  bool ok = true;
  for (int i = 0; i < settings.huge; ++i) {
    ok = ok && saveFlatPng(dir + "/huge-" + std::to_string(i) + ".png", kSide, i);
  }
  for (int i = 0; i < settings.photos; ++i) {
    ok = ok && benchfolders::saveJpeg(dir + "/photo-" + std::to_string(i) + ".jpg", 4000 + 16 * i,
                                      3000, false);
  }
  return ok;
}

/// Decodes every one of `paths` at `maxPixel` on `threads` threads at once, as the window's
/// image caches do (in the window's lane of the decode budget); how many decoded.
int decodeAll(const std::vector<std::string> &paths, int maxPixel, int threads) {
  std::atomic<std::size_t> next{0};
  std::atomic<int> decoded{0};
  std::vector<std::jthread> pool;
  for (int t = 0; t < threads; ++t) {
    pool.emplace_back([&] {
      const platform::decodebudget::InteractiveScope window;
      for (std::size_t i = next++; i < paths.size(); i = next++) {
        decoded += lumora::imagedecoder::decodeFile(paths[i], maxPixel).hasValue() ? 1 : 0;
      }
    });
  }
  pool.clear();
  return decoded;
}

} // namespace

int main(int argc, char **argv) {
  Settings settings;
  if (!parse(argc, argv, settings)) {
    std::fprintf(stderr, "usage: png-folder-memory [--folder DIR] [--huge N] [--photos M]\n");
    return 2;
  }
  QTemporaryDir scratch;
  const std::string dir =
      settings.folder.empty() ? scratch.path().toStdString() + "/pngs" : settings.folder;
  if (!benchfolders::claimFolder(dir, "png-folder-memory")) {
    return 2;
  }
  if (!benchfolders::buildInChild("png-folder-memory", [&] { return generate(dir, settings); })) {
    std::fprintf(stderr, "could not build the PNG folder in %s\n", dir.c_str());
    return 1;
  }
  benchprocess::isolateDataFolders(scratch.path());
  QCoreApplication app(argc, argv);
  const double start = benchprocess::now();
  benchtools::EngineScan engine;
  int huge = 0;
  int photos = 0;
  for (const benchtools::ScannedPhoto &photo : engine.scan(dir)) {
    ++(photo.name.ends_with(".png") ? huge : photos);
  }
  const double seconds = benchprocess::now() - start;
  const double scanPeak = benchprocess::peakResidentMB();

  std::vector<std::string> pngs;
  for (int i = 0; i < settings.huge; ++i) {
    pngs.push_back(dir + "/huge-" + std::to_string(i) + ".png");
  }
  const bool reset = benchprocess::resetPeak();
  int shown = 0;
  std::jthread previews([&] { shown = decodeAll(pngs, kPreviewPixel, 2); });
  const int thumbnails = decodeAll(pngs, kGridPixel, 4);
  previews.join();
  const double windowPeak = reset ? benchprocess::peakResidentMB() : -1;

  std::printf("huge_pngs %d\nordinary_photos %d\nseconds %.2f\n", settings.huge, settings.photos,
              seconds);
  std::printf("analysed_huge %d\nanalysed_ordinary %d\nscan_peak_rss_mb %.1f\n", huge, photos,
              scanPeak);
  std::printf("window_thumbnails %d\nwindow_previews %d\nwindow_peak_rss_mb %.1f\n", thumbnails,
              shown, windowPeak);
  std::printf("limit_mb %.0f\nratio_to_limit %.3f\n", kLimitMB,
              std::max(scanPeak, windowPeak) / kLimitMB);
  return 0;
}
