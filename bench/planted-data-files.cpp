// Measures what planted data files and photos already gone cost.
//
//   planted-data-files [--base-gib G] [--gone N]
//
// 1. A scan of a folder of four photos whose cache base claims 2^32-1 records over G GiB
//    (default 64) of sparse zeros, then a second scan. Both should take under a second
//    (ratio_to_limit = seconds ÷ 1 s, at most 1) and the base should be named in the log once.
// 2. The deletion of N photos (default 500) whose files are already gone, through the engine.
//    Target: under a second (ratio_to_limit at most 1).
// Everything runs in a private data folder; the user's cache, log and Trash are not touched.

#include "BenchFolders.h"

#include "BenchProcess.h"

#include "engine/core/LumoraEngine.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct Settings {
  int baseGiB = 64;
  int gone = 500;
};

bool parse(int argc, char **argv, Settings &settings) {
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--base-gib") == 0 && hasValue) {
      settings.baseGiB = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--gone") == 0 && hasValue) {
      settings.gone = std::max(1, std::atoi(argv[++i]));
    } else {
      return false;
    }
  }
  return true;
}

void usage(FILE *to) {
  std::fprintf(to, "usage: planted-data-files [--base-gib G] [--gone N]\n"
                   "Times a scan over a cache base whose header claims 2^32-1 records over G GiB\n"
                   "of sparse zeros (default 64), and the deletion of N photos already gone\n"
                   "(default 500). Installs nothing; works in a private temporary folder.\n");
}

/// "LMV2", version 3, a count of 2^32-1, then zeros to `gib` GiB without writing them.
bool plantBase(const std::filesystem::path &base, int gib) {
  {
    std::ofstream out(base, std::ios::binary);
    out.write("LMV2\x03\x00\x00\x00\xff\xff\xff\xff", 12);
    if (!out) {
      return false;
    }
  }
  std::error_code error;
  std::filesystem::resize_file(base, std::uintmax_t(gib) << 30, error);
  return !error;
}

int mentions(const QString &logPath, const QString &text) {
  QFile log(logPath);
  return log.open(QIODevice::ReadOnly) ? static_cast<int>(log.readAll().count(text.toUtf8())) : 0;
}

double timedScan(lumora::LumoraEngine &engine, const QString &folder) {
  const double start = benchprocess::now();
  const auto result = engine.scan(
      {QUrl::fromLocalFile(folder)}, lumora::ScanOptions::defaults(),
      [](const lumora::ScanProgress &) {}, [](const std::vector<lumora::PhotoItem> &) {});
  const double seconds = benchprocess::now() - start;
  if (!result || result->items.size() != 4) {
    std::fprintf(stderr, "the scan did not give the four photos\n");
  }
  return seconds;
}

double timedGoneDeletion(lumora::LumoraEngine &engine, const QString &folder, int count) {
  std::vector<lumora::PhotoItem> items;
  for (int i = 0; i < count; ++i) {
    const QString path = folder + QStringLiteral("/gone-%1.jpg").arg(i);
    items.emplace_back(path.toStdString(), QUrl::fromLocalFile(path), 0.0f, false, 1.0f, 1000,
                       lumora::Date{1'700'000'000}, std::vector<float>{}, std::nullopt,
                       lumora::Date{1'700'000'000}, false);
  }
  const double start = benchprocess::now();
  const lumora::DeleteOutcome outcome = engine.deleteItems(items);
  const double seconds = benchprocess::now() - start;
  if (outcome.missingIDs.size() != static_cast<std::size_t>(count)) {
    std::fprintf(stderr, "only %zu of %d photos counted as gone\n", outcome.missingIDs.size(),
                 count);
  }
  return seconds;
}

} // namespace

int main(int argc, char **argv) {
  Settings settings;
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    usage(stdout);
    return 0;
  }
  if (!parse(argc, argv, settings)) {
    usage(stderr);
    return 2;
  }
  QTemporaryDir scratch;
  if (!benchprocess::isolateInto(scratch)) {
    return 1;
  }
  QCoreApplication app(argc, argv);
  const std::string root = scratch.path().toStdString();
  const std::filesystem::path photos = root + "/photos";
  std::filesystem::create_directories(photos);
  const bool made = benchfolders::buildInChild(argv[0], [&photos] {
    for (int i = 0; i < 4; ++i) {
      const std::string path = (photos / ("p" + std::to_string(i) + ".jpg")).string();
      if (!benchfolders::saveJpeg(path, 640 + 64 * i, 480, false)) {
        return false;
      }
    }
    return true;
  });
  if (!made) {
    std::fprintf(stderr, "could not write the photos\n");
    return 1;
  }
  const std::filesystem::path base = root + "/cache/analysis-cache.bin";
  std::filesystem::create_directories(base.parent_path());
  lumora::LumoraEngine engine(QString::fromStdString(base.string()));
  const QString folder = QString::fromStdString(photos.string());
  // A first scan makes the cache the engine's own (its analyzer stamp); then the base is
  // planted.
  (void)timedScan(engine, folder);
  if (!plantBase(base, settings.baseGiB)) {
    std::fprintf(stderr, "could not plant the base\n");
    return 1;
  }
  const double first = timedScan(engine, folder);
  const double second = timedScan(engine, folder);
  const int logged = mentions(scratch.path() + QStringLiteral("/data/Lumora/diagnostics.log"),
                              QStringLiteral("records in "));
  std::printf("header-bomb base %d GiB: first scan %.3f s ratio_to_limit %.3f; second scan %.3f s "
              "ratio_to_limit %.3f; log lines %d\n",
              settings.baseGiB, first, first / 1.0, second, second / 1.0, logged);
  const double gone = timedGoneDeletion(engine, folder, settings.gone);
  std::printf("%d photos already gone: deletion %.3f s ratio_to_limit %.3f\n", settings.gone, gone,
              gone / 1.0);
  return first < 1.0 && second < 1.0 && gone < 1.0 && logged == 1 ? 0 : 1;
}
