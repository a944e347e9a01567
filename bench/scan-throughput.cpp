// Measures a folder scan against the decoder it is built on, on the same files in one run.
//
//   scan-throughput FOLDER [--rounds N] [--json]
//
// Each round, first with the engine's default number of workers (ScanOptions.concurrency),
// then with one worker per core:
//   decode   ImageLoader::load at the scan's thumbnail size on as many threads, taking files
//            from a shared counter, nothing else: the most a scan could reach;
//   cold     a scan through the engine with an empty cache in a throw-away folder;
//   jpeg     libjpeg-turbo alone (TurboJPEG) reading each file and decoding it at 1/8 scale
//            on as many threads: the limit any JPEG scan meets;
//   djpeg    libjpeg-turbo's own program, `djpeg -scale 1/8` with its output discarded, one
//            process per file, as many at a time: the check as anyone can repeat it by hand
//            (left out with a note when djpeg, from libjpeg-turbo-progs, is not installed);
// and, with the default workers only,
//   warm     the same engine scanning again: every photo is a cache hit.
// The rates are the best of the rounds (the run the rest of the machine disturbed least); the
// ratio is cold ÷ decode and should be at least 0.85; ratio_to_jpeg_limit is cold ÷ jpeg and
// should be at least 0.8; ratio_to_djpeg is cold ÷ djpeg. Processor time per photo (all threads,
// or all the djpeg processes)
// is reported beside them, the least of the rounds: on a busy machine it shows what the
// analysis and the engine add to decoding when the wall clock cannot. Every file is read
// once before the first round, so neither side pays for the disk. Peak resident memory is
// VmHWM at the end.
//
// Make a test folder with bench/make-scan-folder DIR (300 photos of 12 MP).

#include "BenchProcess.h"

#include "engine/core/LumoraEngine.h"
#include "engine/imaging/ImageLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <turbojpeg.h>
#include <vector>

extern char **environ;

using namespace lumora;

namespace {

struct Settings {
  QString folder;
  int rounds = 3;
  bool json = false;
  std::string djpeg; ///< the djpeg program, empty when it is not installed
};

/// The wall-clock and processor time of one measured run over all files.
struct Run {
  double seconds = 0;
  double cpuSeconds = 0;
};

/// The best of the rounds for one way of processing the files.
struct Best {
  double rate = 0;
  double cpuMsPerPhoto = 1e18;

  void add(const Run &run, std::size_t files) {
    const auto count = static_cast<double>(files);
    rate = std::max(rate, count / run.seconds);
    cpuMsPerPhoto = std::min(cpuMsPerPhoto, run.cpuSeconds * 1000.0 / count);
  }
};

/// Decode-only and cold-scan figures at one number of workers.
struct Pairing {
  int workers = 0;
  Best decode;
  Best cold;
  Best jpeg;
  Best djpeg;
};

struct Figures {
  std::size_t files = 0;
  std::size_t photos = 0;
  Pairing defaults;
  Pairing allCores;
  double warmSeconds = 1e18;
};

bool parse(int argc, char **argv, Settings &settings) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--json") == 0) {
      settings.json = true;
    } else if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
      settings.rounds = std::max(1, std::atoi(argv[++i]));
    } else if (argv[i][0] != '-' && settings.folder.isEmpty()) {
      settings.folder = QDir(QString::fromLocal8Bit(argv[i])).absolutePath();
    } else {
      return false;
    }
  }
  return !settings.folder.isEmpty();
}

template <typename Work> Run timed(const Work &work) {
  const double cpu = benchprocess::cpuSeconds();
  const double start = benchprocess::now();
  work();
  return Run{benchprocess::now() - start, benchprocess::cpuSeconds() - cpu};
}

/// Reads every file once so that the measured runs find them in the page cache.
std::size_t readAll(const std::vector<FileInfo> &files) {
  std::size_t bytes = 0;
  std::vector<char> buffer(1 << 20);
  for (const FileInfo &file : files) {
    std::FILE *stream = std::fopen(file.path.c_str(), "rb");
    if (stream == nullptr) {
      continue;
    }
    while (const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), stream)) {
      bytes += got;
    }
    std::fclose(stream);
  }
  return bytes;
}

/// The loader alone on `threads` threads.
Run decodeAll(const std::vector<FileInfo> &files, int threads) {
  const int maxPixel = static_cast<int>(ScanOptions::defaults().maxPixel);
  return timed([&] {
    std::atomic<std::size_t> next{0};
    std::vector<std::jthread> workers;
    for (int t = 0; t < threads; ++t) {
      workers.emplace_back([&] {
        for (std::size_t i = next++; i < files.size(); i = next++) {
          (void)ImageLoader::load(files[i].url, maxPixel);
        }
      });
    }
  });
}

/// Reads the file and decodes it at 1/8 scale to RGB with libjpeg-turbo alone.
void decodeEighth(tjhandle handle, const std::string &path, std::vector<unsigned char> &data,
                  std::vector<unsigned char> &pixels) {
  std::FILE *stream = std::fopen(path.c_str(), "rb");
  if (stream == nullptr) {
    return;
  }
  data.resize(0);
  std::array<unsigned char, 1 << 16> chunk{};
  while (const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), stream)) {
    data.insert(data.end(), chunk.data(), chunk.data() + got);
  }
  std::fclose(stream);
  int width = 0;
  int height = 0;
  int subsampling = 0;
  int colorspace = 0;
  if (tjDecompressHeader3(handle, data.data(), data.size(), &width, &height, &subsampling,
                          &colorspace) != 0) {
    return;
  }
  const tjscalingfactor eighth{1, 8};
  const int w = TJSCALED(width, eighth);
  const int h = TJSCALED(height, eighth);
  pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3);
  (void)tjDecompress2(handle, data.data(), data.size(), pixels.data(), w, w * 3, h, TJPF_RGB, 0);
}

/// libjpeg-turbo's 1/8 decode alone on `threads` threads.
Run jpegLimit(const std::vector<FileInfo> &files, int threads) {
  return timed([&] {
    std::atomic<std::size_t> next{0};
    std::vector<std::jthread> workers;
    for (int t = 0; t < threads; ++t) {
      workers.emplace_back([&] {
        tjhandle handle = tjInitDecompress();
        std::vector<unsigned char> data;
        std::vector<unsigned char> pixels;
        for (std::size_t i = next++; i < files.size(); i = next++) {
          decodeEighth(handle, files[i].path, data, pixels);
        }
        tjDestroy(handle);
      });
    }
  });
}

/// Runs `djpeg -scale 1/8` on `path` as its own process, its picture written to /dev/null.
void runDjpeg(const std::string &djpeg, const std::string &path) {
  std::string program = djpeg, scale = "-scale", eighth = "1/8", outfile = "-outfile",
              sink = "/dev/null", file = path;
  std::array<char *, 7> args{program.data(), scale.data(), eighth.data(), outfile.data(),
                             sink.data(),    file.data(),  nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, args.data(), environ) != 0) {
    return;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

/// djpeg on every file, `processes` at a time; the processor time is that of the processes.
Run djpegAll(const std::string &djpeg, const std::vector<FileInfo> &files, int processes) {
  const double cpu = benchprocess::childCpuSeconds();
  const double start = benchprocess::now();
  {
    std::atomic<std::size_t> next{0};
    std::vector<std::jthread> runners;
    for (int t = 0; t < processes; ++t) {
      runners.emplace_back([&] {
        for (std::size_t i = next++; i < files.size(); i = next++) {
          runDjpeg(djpeg, files[i].path);
        }
      });
    }
  }
  return Run{benchprocess::now() - start, benchprocess::childCpuSeconds() - cpu};
}

/// One scan of the folder; false when it failed or did not find the cache hits expected.
bool scanOnce(LumoraEngine &engine, const Settings &settings, const ScanOptions &options,
              std::int64_t expectedHits, std::size_t &photos, Run &run) {
  std::atomic<std::size_t> partial{0};
  Expected<ScanResult, EngineError> result = Unexpected(EngineError{});
  run = timed([&] {
    result = engine.scan(
        {QUrl::fromLocalFile(settings.folder)}, options, [](const ScanProgress &) {},
        [&partial](const std::vector<PhotoItem> &items) { partial += items.size(); });
  });
  if (!result) {
    std::fprintf(stderr, "scan failed: %s\n", qPrintable(result.error().logText()));
    return false;
  }
  if (result->cacheHitCount != expectedHits) {
    std::fprintf(stderr, "expected %lld cache hits, got %lld\n",
                 static_cast<long long>(expectedHits),
                 static_cast<long long>(result->cacheHitCount));
    return false;
  }
  photos = result->items.size();
  return true;
}

/// A decode-only run and a cold scan at `workers`; with `warm`, a warm rescan after the cold.
bool measurePairing(const Settings &settings, const std::vector<FileInfo> &files,
                    const QString &cacheDir, Pairing &pairing, Figures &figures, bool warm) {
  pairing.decode.add(decodeAll(files, pairing.workers), files.size());
  pairing.jpeg.add(jpegLimit(files, pairing.workers), files.size());
  if (!settings.djpeg.empty()) {
    pairing.djpeg.add(djpegAll(settings.djpeg, files, pairing.workers), files.size());
  }
  ScanOptions options = ScanOptions::defaults();
  options.concurrency = pairing.workers;
  QDir(cacheDir).removeRecursively();
  QDir().mkpath(cacheDir);
  LumoraEngine engine(cacheDir + QStringLiteral("/analysis-cache.bin"));
  Run cold;
  if (!scanOnce(engine, settings, options, 0, figures.photos, cold)) {
    return false;
  }
  pairing.cold.add(cold, files.size());
  if (warm) {
    std::size_t photos = 0;
    Run again;
    if (!scanOnce(engine, settings, options, static_cast<std::int64_t>(figures.photos), photos,
                  again)) {
      return false;
    }
    figures.warmSeconds = std::min(figures.warmSeconds, again.seconds);
  }
  return QDir(cacheDir).removeRecursively();
}

void printPairing(const char *label, const Pairing &p) {
  std::printf("%d workers%s: cold scan %.1f photos/s, decode only %.1f photos/s, ratio %.3f; "
              "processor time per photo %.1f ms scanning, %.1f ms decoding (%.3f)\n",
              p.workers, label, p.cold.rate, p.decode.rate, p.cold.rate / p.decode.rate,
              p.cold.cpuMsPerPhoto, p.decode.cpuMsPerPhoto,
              p.decode.cpuMsPerPhoto / p.cold.cpuMsPerPhoto);
  std::printf("%d workers%s: libjpeg-turbo 1/8 decode %.1f photos/s, ratio to it %.3f; "
              "processor time per photo %.1f ms\n",
              p.workers, label, p.jpeg.rate, p.cold.rate / p.jpeg.rate, p.jpeg.cpuMsPerPhoto);
  if (p.djpeg.rate > 0) {
    std::printf("%d workers%s: djpeg -scale 1/8 in as many processes %.1f photos/s, ratio to it "
                "%.3f; processor time per photo %.1f ms\n",
                p.workers, label, p.djpeg.rate, p.cold.rate / p.djpeg.rate, p.djpeg.cpuMsPerPhoto);
  }
}

/// The djpeg keys of the JSON line, with the comma before them; none without djpeg.
void printDjpegJson(const Pairing &d, const Pairing &a) {
  if (d.djpeg.rate <= 0) {
    return;
  }
  std::printf(
      ",\"djpeg_photos_per_s\":%.2f,\"ratio_to_djpeg\":%.4f,\"djpeg_cpu_ms_per_photo\":%.2f,"
      "\"djpeg_photos_per_s_all_cores\":%.2f,\"ratio_to_djpeg_all_cores\":%.4f",
      d.djpeg.rate, d.cold.rate / d.djpeg.rate, d.djpeg.cpuMsPerPhoto, a.djpeg.rate,
      a.cold.rate / a.djpeg.rate);
}

void print(const Settings &settings, const Figures &figures) {
  const Pairing &d = figures.defaults;
  const Pairing &a = figures.allCores;
  const double peak = benchprocess::peakResidentMB();
  if (settings.json) {
    std::printf("{\"files\":%zu,\"photos\":%zu,\"rounds\":%d,\"concurrency\":%d,\"cores\":%d,"
                "\"cold_photos_per_s\":%.2f,\"decode_photos_per_s\":%.2f,\"ratio\":%.4f,"
                "\"warm_rescan_s\":%.4f,\"peak_rss_mb\":%.1f,\"cold_cpu_ms_per_photo\":%.2f,"
                "\"decode_cpu_ms_per_photo\":%.2f,\"cpu_ratio\":%.4f,"
                "\"cold_photos_per_s_all_cores\":%.2f,\"decode_photos_per_s_all_cores\":%.2f,"
                "\"ratio_all_cores\":%.4f,\"jpeg_limit_photos_per_s\":%.2f,"
                "\"ratio_to_jpeg_limit\":%.4f,\"jpeg_limit_cpu_ms_per_photo\":%.2f,"
                "\"jpeg_limit_photos_per_s_all_cores\":%.2f,"
                "\"ratio_to_jpeg_limit_all_cores\":%.4f",
                figures.files, figures.photos, settings.rounds, d.workers, a.workers, d.cold.rate,
                d.decode.rate, d.cold.rate / d.decode.rate, figures.warmSeconds, peak,
                d.cold.cpuMsPerPhoto, d.decode.cpuMsPerPhoto,
                d.decode.cpuMsPerPhoto / d.cold.cpuMsPerPhoto, a.cold.rate, a.decode.rate,
                a.cold.rate / a.decode.rate, d.jpeg.rate, d.cold.rate / d.jpeg.rate,
                d.jpeg.cpuMsPerPhoto, a.jpeg.rate, a.cold.rate / a.jpeg.rate);
    printDjpegJson(d, a);
    std::printf("}\n");
    return;
  }
  std::printf("%zu files, %zu photos scanned; best of %d rounds (targets: ratio >= 0.85, ratio to "
              "libjpeg-turbo >= 0.8)\n",
              figures.files, figures.photos, settings.rounds);
  printPairing(" (default)", d);
  printPairing(" (all cores)", a);
  std::printf("warm rescan %.3f s; peak resident memory %.1f MB\n", figures.warmSeconds, peak);
}

} // namespace

int main(int argc, char **argv) {
  Settings settings;
  if (!parse(argc, argv, settings)) {
    std::fprintf(stderr, "usage: scan-throughput FOLDER [--rounds N] [--json]\n"
                         "(bench/make-scan-folder DIR writes a test folder)\n");
    return 2;
  }
  QTemporaryDir scratch;
  if (!scratch.isValid()) {
    std::fprintf(stderr, "no temporary folder\n");
    return 1;
  }
  benchprocess::isolateDataFolders(scratch.path());
  QCoreApplication app(argc, argv);
  settings.djpeg = QStandardPaths::findExecutable(QStringLiteral("djpeg")).toStdString();
  if (settings.djpeg.empty()) {
    std::fprintf(stderr,
                 "no djpeg (Debian package libjpeg-turbo-progs): its figures are left out\n");
  }

  const EnumerateResult listing =
      ImageLoader::enumerate({QUrl::fromLocalFile(settings.folder)}, ScanOptions::defaults());
  if (listing.files.empty()) {
    std::fprintf(stderr, "no images in %s\n", qPrintable(settings.folder));
    return 1;
  }
  Figures figures;
  figures.files = listing.files.size();
  figures.defaults.workers = static_cast<int>(ScanOptions::defaults().concurrency);
  figures.allCores.workers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const std::size_t bytes = readAll(listing.files);
  if (!settings.json) {
    std::printf("%zu files, %.0f MB\n", figures.files, static_cast<double>(bytes) / 1048576.0);
  }
  const QString cacheDir = scratch.path() + QStringLiteral("/cache");
  for (int round = 0; round < settings.rounds; ++round) {
    if (!measurePairing(settings, listing.files, cacheDir, figures.defaults, figures, true) ||
        !measurePairing(settings, listing.files, cacheDir, figures.allCores, figures, false)) {
      return 1;
    }
  }
  print(settings, figures);
  return 0;
}
