// Scans a folder built to hurt the decoder and prints the peak resident memory of the scan.
//
//   hostile-folder-memory [--folder DIR] [--rounds R]
//
// The folder holds a few ordinary photos and the files a hostile folder may hold: JPEGs and
// a PNG followed by 2 GB of (sparse) zeros, JPEGs cut short and then followed by them, progressive
// JPEGs just under the 200-megapixel limit (their coefficient buffers alone would take 1.2 GB each)
// and of 30 megapixels (180 MB each, which may be decoded, but not all at once), GIFs and PNGs
// whose header claims a picture just under the limit, interlaced PNGs of 100 megapixels, headers
// claiming 60,000 × 60,000 pixels, truncated JPEGs and PNGs, an empty file, noise named .jpg and a
// folder named .jpg. Generation runs in a child process, so that its memory does not count in
// the peak. The scan runs with the engine's default options (four workers) R times (default
// 1) on one engine, with a cold cache each time. Target: peak resident memory (VmHWM) at most
// 600 MB; ratio_to_limit is the peak ÷ 600 MB and should be at most 1.

// libvips (through GLib) must come before Qt: Qt's "signals" keyword macro breaks GIO headers.
#include "BenchFolders.h"

#include "BenchProcess.h"
#include "BenchScan.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr double kLimitMB = 600.0;
constexpr off_t kSparseTail = off_t{2} << 30;

struct Settings {
  std::string folder;
  int rounds = 1;
};

bool parse(int argc, char **argv, Settings &settings) {
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--folder") == 0 && hasValue) {
      settings.folder = argv[++i];
    } else if (std::strcmp(argv[i], "--rounds") == 0 && hasValue) {
      settings.rounds = std::max(1, std::atoi(argv[++i]));
    } else {
      return false;
    }
  }
  return true;
}

bool writeBytes(const std::string &path, const std::string &bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    return false;
  }
  const bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  return ::close(fd) == 0 && ok;
}

std::string readBytes(const std::string &path) {
  std::string bytes;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return bytes;
  }
  char buffer[65536];
  ssize_t got = 0;
  while ((got = ::read(fd, buffer, sizeof buffer)) > 0) {
    bytes.append(buffer, got);
  }
  ::close(fd);
  return bytes;
}

bool savePng(const std::string &path, int width, int height, bool interlaced) {
  VipsImage *image = benchfolders::gradient(width, height);
  const int failed =
      vips_pngsave(image, path.c_str(), "interlace", interlaced, "compression", 1, nullptr);
  g_object_unref(image);
  return failed == 0;
}

/// Appends `tail` zero bytes without writing them: the file stays sparse.
bool addSparseTail(const std::string &path, off_t tail) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && ::truncate(path.c_str(), st.st_size + tail) == 0;
}

bool truncateToHalf(const std::string &path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && ::truncate(path.c_str(), st.st_size / 2) == 0;
}

void putBigEndian32(std::string &bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    bytes[at + i] = static_cast<char>(value >> (24 - 8 * i));
  }
}

/// A small PNG whose header (with a matching CRC) claims `width` × `height`.
bool writePngClaim(const std::string &path, const std::string &small, int width, int height) {
  std::string bytes = small;
  putBigEndian32(bytes, 16, static_cast<std::uint32_t>(width));
  putBigEndian32(bytes, 20, static_cast<std::uint32_t>(height));
  std::uint32_t table[256];
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) {
      c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    table[n] = c;
  }
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 12; i < 29; ++i) {
    c = table[(c ^ static_cast<std::uint8_t>(bytes[i])) & 0xFF] ^ (c >> 8);
  }
  putBigEndian32(bytes, 29, c ^ 0xFFFFFFFFu);
  return writeBytes(path, bytes);
}

/// A GIF whose screen and only frame claim `width` × `height` but whose data is one code.
bool writeGifClaim(const std::string &path, int width, int height) {
  std::string bytes = "GIF89a";
  const auto le16 = [&](int v) {
    bytes += static_cast<char>(v & 0xFF);
    bytes += static_cast<char>((v >> 8) & 0xFF);
  };
  le16(width);
  le16(height);
  bytes += std::string("\x80\x00\x00", 3);             // two-colour global table
  bytes += std::string("\x00\x00\x00\xff\xff\xff", 6); // black, white
  bytes += '\x2C';
  le16(0);
  le16(0);
  le16(width);
  le16(height);
  bytes += std::string("\x00\x02\x01\x2C\x00\x3B", 6); // min code 2, one block: clear + end
  return writeBytes(path, bytes);
}

bool generate(const std::string &dir) {
  using benchfolders::saveJpeg;
  const auto at = [&](const std::string &name) { return dir + "/" + name; };
  bool ok = true;
  for (int i = 0; i < 6; ++i) {
    ok = ok && saveJpeg(at("photo-" + std::to_string(i) + ".jpg"), 4000 + 16 * i, 3000, false);
  }
  for (int i = 0; i < 8; ++i) {
    const std::string name = at("tail-" + std::to_string(i) + ".jpg");
    ok = ok && saveJpeg(name, 2000, 1500 + 8 * i, false) && addSparseTail(name, kSparseTail);
  }
  ok = ok && savePng(at("tail.png"), 1500, 1000, false) &&
       addSparseTail(at("tail.png"), kSparseTail);
  for (int i = 0; i < 4; ++i) {
    ok =
        ok && saveJpeg(at("progressive-" + std::to_string(i) + ".jpg"), 14000, 14000 - 8 * i, true);
  }
  for (int i = 0; i < 3; ++i) {
    ok = ok &&
         saveJpeg(at("large-progressive-" + std::to_string(i) + ".jpg"), 6000, 5000 - 8 * i, true);
  }
  for (int i = 0; i < 2; ++i) {
    ok = ok && savePng(at("interlaced-" + std::to_string(i) + ".png"), 10000, 10000 - 8 * i, true);
  }
  ok = ok && savePng(at("small.png"), 64, 64, false);
  const std::string smallPng = readBytes(at("small.png"));
  for (int i = 0; i < 4; ++i) {
    ok = ok && writeGifClaim(at("claim-" + std::to_string(i) + ".gif"), 14000, 14000 - i);
    ok = ok && writePngClaim(at("claim-" + std::to_string(i) + ".png"), smallPng, 14000, 14000 - i);
  }
  ok = ok && writePngClaim(at("huge-claim.png"), smallPng, 60000, 60000);
  ok = ok && writeGifClaim(at("huge-claim.gif"), 65535, 65535);
  for (int i = 0; i < 3; ++i) {
    const std::string name = at("truncated-" + std::to_string(i) + ".jpg");
    ok = ok && saveJpeg(name, 3000, 2000 + 8 * i, i == 2) && truncateToHalf(name);
  }
  for (int i = 0; i < 4; ++i) {
    // Cut before its end marker, so that the zeros after it read as coded data.
    const std::string name = at("cut-tail-" + std::to_string(i) + ".jpg");
    ok = ok && saveJpeg(name, 2000, 1500 + 8 * i, false) && truncateToHalf(name) &&
         addSparseTail(name, kSparseTail);
  }
  ok = ok && savePng(at("truncated.png"), 2000, 1500, false) && truncateToHalf(at("truncated.png"));
  ok = ok && writeBytes(at("empty.jpg"), "");
  std::string noise(1 << 20, '\0');
  for (std::size_t i = 0; i < noise.size(); ++i) {
    noise[i] = static_cast<char>(i * 2654435761u >> 13);
  }
  ok = ok && writeBytes(at("noise.jpg"), noise);
  ok = ok && ::mkdir(at("folder.jpg").c_str(), 0755) == 0;
  return ok;
}

/// The entries of `dir` but the benchmark's marker.
std::size_t countEntries(const std::string &dir) {
  std::size_t count = 0;
  for (const auto &entry : std::filesystem::directory_iterator(dir)) {
    count += entry.path().filename() != benchfolders::kMadeMarker ? 1 : 0;
  }
  return count;
}

} // namespace

int main(int argc, char **argv) {
  Settings settings;
  if (!parse(argc, argv, settings)) {
    std::fprintf(stderr, "usage: hostile-folder-memory [--folder DIR] [--rounds R]\n");
    return 2;
  }
  QTemporaryDir scratch;
  const std::string dir =
      settings.folder.empty() ? scratch.path().toStdString() + "/hostile" : settings.folder;
  if (!benchfolders::claimFolder(dir, "hostile-folder-memory")) {
    return 2;
  }
  if (!benchfolders::buildInChild("hostile-folder-memory", [&] { return generate(dir); })) {
    std::fprintf(stderr, "could not build the hostile folder in %s\n", dir.c_str());
    return 1;
  }
  benchprocess::isolateDataFolders(scratch.path());
  QCoreApplication app(argc, argv);
  const double before = benchprocess::peakResidentMB();
  const double start = benchprocess::now();
  std::size_t photos = 0;
  for (int round = 0; round < settings.rounds; ++round) {
    benchtools::EngineScan engine;
    photos = engine.scan(dir).size();
  }
  const double seconds = benchprocess::now() - start;
  const double peak = benchprocess::peakResidentMB();
  std::printf("entries %zu\nphotos %zu\nrounds %d\nseconds %.2f\n", countEntries(dir), photos,
              settings.rounds, seconds);
  std::printf("peak_before_scan_mb %.1f\npeak_rss_mb %.1f\nlimit_mb %.0f\nratio_to_limit %.3f\n",
              before, peak, kLimitMB, peak / kLimitMB);
  return 0;
}
