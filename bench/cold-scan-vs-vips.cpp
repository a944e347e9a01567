// Measures a cold folder scan against libvips' own thumbnailer on the same files, in one run.
//
//   cold-scan-vs-vips FOLDER [--rounds N] [--json]
//
// Each round, first with the engine's default number of workers (ScanOptions.concurrency),
// then with one worker per core:
//   cold  a scan through the engine with an empty analysis cache in a throw-away folder;
//   vips  `vips thumbnail FILE OUT.v 512`, one single-threaded process (VIPS_CONCURRENCY=1)
//         per file, as many at a time as the scan has workers: the decoder's own limit, as
//         anyone can repeat it by hand.
// Before every measured run the files' pages are dropped from the page cache
// (posix_fadvise DONTNEED), so both sides read them from the disk. The rates are the best of
// the rounds (default 2); the ratio is cold ÷ vips and should be at least 0.85. Meant for
// formats without a reduced decode, HEIC above all: bench/make-scan-folder --heic DIR 60.
// Needs the vips command-line tool (Debian package libvips-tools).

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
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

using namespace lumora;

namespace {

struct Settings {
  QString folder;
  int rounds = 2;
  bool json = false;
  std::string vips;
};

/// The best rates of the rounds at one number of workers.
struct Pairing {
  int workers = 0;
  double cold = 0;
  double vips = 0;
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

/// Drops the files' pages from the page cache, so that the next run reads them from disk.
void dropFromPageCache(const std::vector<FileInfo> &files) {
  for (const FileInfo &file : files) {
    const int fd = ::open(file.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
      (void)::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
      ::close(fd);
    }
  }
}

/// Photos per second of one cold scan with `workers`; 0 when the scan failed.
double coldScan(const Settings &settings, const QString &cacheDir, int workers, std::size_t files) {
  QDir(cacheDir).removeRecursively();
  QDir().mkpath(cacheDir);
  LumoraEngine engine(cacheDir + QStringLiteral("/analysis-cache.bin"));
  ScanOptions options = ScanOptions::defaults();
  options.concurrency = workers;
  const double start = benchprocess::now();
  const auto result =
      engine.scan({QUrl::fromLocalFile(settings.folder)}, options, [](const ScanProgress &) {});
  const double seconds = benchprocess::now() - start;
  if (!result || result->cacheHitCount != 0 || result->items.size() != files) {
    std::fprintf(stderr, "the cold scan did not analyse every photo\n");
    return 0;
  }
  QDir(cacheDir).removeRecursively();
  return static_cast<double>(files) / seconds;
}

/// Runs `vips thumbnail` on `path` as its own process, single-threaded, writing `out`.
void runVips(const std::string &vips, const std::string &path, const std::string &out) {
  std::string program = vips, verb = "thumbnail", file = path, target = out, size = "512";
  std::array<char *, 6> args{program.data(), verb.data(), file.data(),
                             target.data(),  size.data(), nullptr};
  std::vector<std::string> variables{"VIPS_CONCURRENCY=1"};
  for (char **entry = environ; *entry != nullptr; ++entry) {
    if (std::strncmp(*entry, "VIPS_CONCURRENCY=", 17) != 0) {
      variables.emplace_back(*entry);
    }
  }
  std::vector<char *> env;
  for (std::string &variable : variables) {
    env.push_back(variable.data());
  }
  env.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, args.data(), env.data()) != 0) {
    return;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

/// Photos per second of `vips thumbnail` on every file, `processes` at a time.
double vipsAll(const Settings &settings, const std::vector<FileInfo> &files, int processes,
               const QString &outDir) {
  QDir().mkpath(outDir);
  const double start = benchprocess::now();
  {
    std::atomic<std::size_t> next{0};
    std::vector<std::jthread> runners;
    for (int t = 0; t < processes; ++t) {
      runners.emplace_back([&, t] {
        const std::string out = outDir.toStdString() + "/" + std::to_string(t) + ".v";
        for (std::size_t i = next++; i < files.size(); i = next++) {
          runVips(settings.vips, files[i].path, out);
        }
      });
    }
  }
  const double seconds = benchprocess::now() - start;
  QDir(outDir).removeRecursively();
  return static_cast<double>(files.size()) / seconds;
}

void print(const Settings &settings, std::size_t files, const Pairing &d, const Pairing &a) {
  if (settings.json) {
    std::printf("{\"files\":%zu,\"rounds\":%d,\"concurrency\":%d,\"cores\":%d,"
                "\"cold_photos_per_s\":%.2f,\"vips_photos_per_s\":%.2f,\"ratio\":%.4f,"
                "\"cold_photos_per_s_all_cores\":%.2f,\"vips_photos_per_s_all_cores\":%.2f,"
                "\"ratio_all_cores\":%.4f}\n",
                files, settings.rounds, d.workers, a.workers, d.cold, d.vips, d.cold / d.vips,
                a.cold, a.vips, a.cold / a.vips);
    return;
  }
  std::printf("%zu files; best of %d rounds; page cache dropped before every run (target: "
              "ratio >= 0.85)\n",
              files, settings.rounds);
  for (const auto &[label, p] : {std::pair{"default", d}, std::pair{"all cores", a}}) {
    std::printf("%d workers (%s): cold scan %.2f photos/s, vips thumbnail in as many processes "
                "%.2f photos/s, ratio %.3f\n",
                p.workers, label, p.cold, p.vips, p.cold / p.vips);
  }
}

} // namespace

int main(int argc, char **argv) {
  Settings settings;
  if (!parse(argc, argv, settings)) {
    std::fprintf(stderr, "usage: cold-scan-vs-vips FOLDER [--rounds N] [--json]\n"
                         "(bench/make-scan-folder --heic DIR 60 writes a test folder)\n");
    return 2;
  }
  QTemporaryDir scratch;
  if (!scratch.isValid()) {
    std::fprintf(stderr, "no temporary folder\n");
    return 1;
  }
  benchprocess::isolateDataFolders(scratch.path());
  QCoreApplication app(argc, argv);
  settings.vips = QStandardPaths::findExecutable(QStringLiteral("vips")).toStdString();
  if (settings.vips.empty()) {
    std::fprintf(stderr, "no vips tool (Debian package libvips-tools)\n");
    return 1;
  }
  ScanOptions listing = ScanOptions::defaults();
  const auto files = ImageLoader::enumerate({QUrl::fromLocalFile(settings.folder)}, listing).files;
  if (files.empty()) {
    std::fprintf(stderr, "no images in %s\n", qPrintable(settings.folder));
    return 1;
  }
  Pairing defaults{static_cast<int>(ScanOptions::defaults().concurrency)};
  Pairing allCores{static_cast<int>(std::max(1u, std::thread::hardware_concurrency()))};
  const QString cacheDir = scratch.filePath(QStringLiteral("cache"));
  const QString outDir = scratch.filePath(QStringLiteral("thumbnails"));
  for (int round = 0; round < settings.rounds; ++round) {
    for (Pairing *pairing : {&defaults, &allCores}) {
      dropFromPageCache(files);
      const double cold = coldScan(settings, cacheDir, pairing->workers, files.size());
      if (cold <= 0) {
        return 1;
      }
      pairing->cold = std::max(pairing->cold, cold);
      dropFromPageCache(files);
      pairing->vips = std::max(pairing->vips, vipsAll(settings, files, pairing->workers, outDir));
    }
  }
  print(settings, files.size(), defaults, allCores);
  return 0;
}
