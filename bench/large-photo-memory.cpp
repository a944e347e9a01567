// Scans a folder of the largest photos phones, cameras and scanners write, beside ordinary
// ones, and prints how many were analysed and the peak resident memory of the scan.
//
//   large-photo-memory [--folder DIR]
//
// The folder holds a 48-megapixel HEIC (8064 × 6048), a 50-megapixel progressive JPEG without
// chroma subsampling (8160 × 6120), a 100-megapixel TIFF in one uncompressed strip
// (11547 × 8660) and three 12-megapixel JPEGs. Generation runs in a child process, so that
// its memory does not count in the peak; with --folder, that folder is scanned as it is
// instead. The scan runs through the engine with its default options (four workers) and a
// cold cache. Target: every photo analysed (too_large 0) at a peak resident memory (VmHWM) of
// at most 800 MB; ratio_to_limit is the peak ÷ 800 MB and should be at most 1.

// libvips (through GLib) must come before Qt: Qt's "signals" keyword macro breaks GIO headers.
#include "BenchFolders.h"

#include "BenchProcess.h"

#include "engine/core/LumoraEngine.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QUrl>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

constexpr double kLimitMB = 800.0;

void put16(std::string &bytes, unsigned value) {
  bytes += static_cast<char>(value & 0xFF);
  bytes += static_cast<char>((value >> 8) & 0xFF);
}

void put32(std::string &bytes, unsigned value) {
  put16(bytes, value & 0xFFFF);
  put16(bytes, value >> 16);
}

/// An 8-bit RGB TIFF whose one uncompressed strip holds the whole picture, as scanners write.
bool saveOneStripTiff(const std::string &path, int width, int height) {
  VipsImage *image = benchfolders::photoLike(width, height);
  std::size_t size = 0;
  void *pixels = vips_image_write_to_memory(image, &size);
  g_object_unref(image);
  if (pixels == nullptr) {
    return false;
  }
  const unsigned count = 10;
  const unsigned bitsAt = 8 + 2 + 12 * count + 4;
  const unsigned dataAt = bitsAt + 6;
  std::string head = "II*";
  head += '\0';
  put32(head, 8);
  put16(head, count);
  const auto entry = [&](unsigned tag, unsigned type, unsigned n, unsigned value) {
    put16(head, tag);
    put16(head, type);
    put32(head, n);
    put32(head, value); // a short value sits in the low half, little-endian
  };
  entry(256, 4, 1, width);
  entry(257, 4, 1, height);
  entry(258, 3, 3, bitsAt);
  entry(259, 3, 1, 1); // no compression
  entry(262, 3, 1, 2); // RGB
  entry(273, 4, 1, dataAt);
  entry(277, 3, 1, 3);
  entry(278, 4, 1, height); // one strip
  entry(279, 4, 1, static_cast<unsigned>(size));
  entry(284, 3, 1, 1);
  put32(head, 0);
  put16(head, 8), put16(head, 8), put16(head, 8);
  std::ofstream out(path, std::ios::binary);
  out.write(head.data(), static_cast<std::streamsize>(head.size()));
  out.write(static_cast<const char *>(pixels), static_cast<std::streamsize>(size));
  g_free(pixels);
  return out.good();
}

bool generate(const std::string &dir) {
  const auto at = [&](const std::string &name) { return dir + "/" + name; };
  bool ok =
      benchfolders::saveAndRelease(benchfolders::photoLike(8064, 6048), at("heic-48mp.heic[Q=80]"));
  ok = ok && benchfolders::saveAndRelease(
                 benchfolders::photoLike(8160, 6120),
                 at("progressive-444-50mp.jpg[Q=90,interlace,subsample_mode=off]"));
  ok = ok && saveOneStripTiff(at("one-strip-100mp.tif"), 11547, 8660);
  for (int i = 0; i < 3; ++i) {
    ok = ok && benchfolders::saveAndRelease(benchfolders::photoLike(4032 + 16 * i, 3024),
                                            at("photo-" + std::to_string(i) + ".jpg"));
  }
  return ok;
}

} // namespace

int main(int argc, char **argv) {
  std::string folder;
  if (argc == 3 && std::strcmp(argv[1], "--folder") == 0) {
    folder = argv[2];
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: large-photo-memory [--folder DIR]\n");
    return 2;
  }
  QTemporaryDir scratch;
  if (folder.empty()) {
    folder = scratch.path().toStdString() + "/large";
    std::filesystem::create_directories(folder);
    if (!benchfolders::buildInChild("large-photo-memory", [&] { return generate(folder); })) {
      std::fprintf(stderr, "could not build the folder in %s\n", folder.c_str());
      return 1;
    }
  }
  benchprocess::isolateDataFolders(scratch.path());
  QCoreApplication app(argc, argv);
  const double before = benchprocess::peakResidentMB();
  const double start = benchprocess::now();
  lumora::LumoraEngine engine(scratch.filePath(QStringLiteral("analysis-cache.bin")));
  const auto root = std::filesystem::absolute(folder);
  const auto result =
      engine.scan({QUrl::fromLocalFile(QString::fromStdString(root.string()))},
                  lumora::ScanOptions::defaults(), [](const lumora::ScanProgress &) {});
  if (!result) {
    std::fprintf(stderr, "scan failed: %s\n", qPrintable(result.error().logText()));
    return 1;
  }
  const double seconds = benchprocess::now() - start;
  const double peak = benchprocess::peakResidentMB();
  std::printf("photos %lld\nanalysed %zu\nskipped %lld\ntoo_large %lld\nseconds %.2f\n",
              static_cast<long long>(result->fileCount), result->items.size(),
              static_cast<long long>(result->skippedCount),
              static_cast<long long>(result->tooLargeCount), seconds);
  std::printf("peak_before_scan_mb %.1f\npeak_rss_mb %.1f\nlimit_mb %.0f\nratio_to_limit %.3f\n",
              before, peak, kLimitMB, peak / kLimitMB);
  return 0;
}
