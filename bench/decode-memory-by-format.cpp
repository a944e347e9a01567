// Decodes one photo of each format and decoding path alone and prints the memory it took
// beside the memory it was charged in the decode budget.
//
//   decode-memory-by-format [--folder DIR] [--size WxH] [--pixel N]
//
// The photos (default 6000 × 4000, flat with a gradient, so that they are quick to make) are
// JPEG (sequential, progressive), PNG (RGB, RGBA, interlaced, and a 14000 × 14000 RGBA one),
// TIFF (strips, tiles), WebP (lossy, lossless, lossy with alpha), GIF, HEIC and BMP. Each is
// decoded in a child process of its own, twice: as a scan and the window decode it (the
// engine's decoder, to N pixels, default 512) and as the photo library decodes it
// (vips_thumbnail into an N × N box). measured_mb is the rise of the child's peak resident
// memory (VmHWM) over the decode; charged_mb is what the decode reserved. Every measured
// figure should be at most its charge; the last line says whether all were.

#include "BenchFolders.h"

#include "engine/imaging/ImageDecoder.h"
#include "platform/core/imaging/PhotoSource.h"
#include "platform/core/imaging/VipsImage.h"
#include "platform/core/imaging/VipsRuntime.h"
#include "platform/core/photolibrary/ImageDecoding.h"
#include "platform/core/posix/UniqueFd.h"

#include "BenchProcess.h"

#include <QTemporaryDir>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace {

struct Settings {
  std::string folder;
  int width = 6000;
  int height = 4000;
  int pixel = 512;
};

bool parse(int argc, char **argv, Settings &settings) {
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--folder") == 0 && hasValue) {
      settings.folder = argv[++i];
    } else if (std::strcmp(argv[i], "--size") == 0 && hasValue) {
      if (std::sscanf(argv[++i], "%dx%d", &settings.width, &settings.height) != 2) {
        return false;
      }
    } else if (std::strcmp(argv[i], "--pixel") == 0 && hasValue) {
      settings.pixel = std::max(64, std::atoi(argv[++i]));
    } else {
      return false;
    }
  }
  return settings.width > 0 && settings.height > 0;
}

/// One photo: its file name, the saver's options and its picture.
struct Case {
  std::string name;
  std::string options;
  int bands = 3;
  bool huge = false;
};

const std::vector<Case> &cases() {
  static const std::vector<Case> all{
      {"sequential.jpg", "[Q=90]"},
      {"progressive.jpg", "[Q=90,interlace]"},
      {"rgb.png", ""},
      {"rgba.png", "", 4},
      {"interlaced.png", "[interlace]"},
      {"huge-rgba.png", "", 4, true},
      {"strips.tif", "[compression=lzw]"},
      {"tiles.tif", "[compression=lzw,tile]"},
      {"lossy.webp", ""},
      {"lossless.webp", "[lossless]"},
      {"alpha.webp", "", 4},
      {"frame.gif", ""},
      {"photo.heic", "[compression=hevc]"},
      {"bitmap.bmp", ""},
  };
  return all;
}

/// The gradient with `bands` bands (a flat alpha for the fourth).
bool save(const std::string &path, int width, int height, int bands) {
  VipsImage *picture = benchfolders::gradient(width, height);
  VipsImage *withAlpha = nullptr;
  if (bands == 4 && vips_bandjoin_const1(picture, &withAlpha, 200, nullptr) == 0) {
    g_object_unref(picture);
    picture = withAlpha;
  }
  const bool saved = vips_image_write_to_file(picture, path.c_str(), nullptr) == 0;
  g_object_unref(picture);
  return saved;
}

bool generate(const std::string &dir, const Settings &settings) {
  bool ok = true;
  for (const Case &c : cases()) {
    const int width = c.huge ? 14000 : settings.width;
    const int height = c.huge ? 14000 : settings.height;
    ok = ok && save(dir + "/" + c.name + c.options, width, height, c.bands);
  }
  return ok;
}

/// What decoding `path` for `request` is charged; -1 when it is not a vips format (a BMP,
/// which reserves four bytes a pixel of its own).
double chargedMB(const std::string &path, const platform::decodecost::Request &request) {
  using namespace platform;
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st {};
  if (!fd.isValid() || ::fstat(fd.get(), &st) != 0) {
    return -1;
  }
  auto photo = photosource::open(fd.get(), st.st_size);
  const char *loader = photo ? vips_foreign_find_load_source(photo->source.get()) : nullptr;
  const auto format = decodecost::formatOfLoader(loader != nullptr ? loader : "");
  if (!format) {
    vips_error_clear();
    return -1;
  }
  const VipsImagePtr header(vips_image_new_from_source(photo->source.get(), "", "access",
                                                       VIPS_ACCESS_SEQUENTIAL, nullptr));
  return header ? static_cast<double>(
                      photosource::decodeCharge(*photo, *format, header.get(), request)) /
                      (1 << 20)
                : -1;
}

/// Decodes `path` in a child of its own, the engine's way or (`library`) the photo library's,
/// and prints one line; false when it took more than its charge.
bool measure(const std::string &path, const std::string &name, bool library, int pixel) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (!platform::vipsruntime::ensureStarted()) {
      ::_exit(1);
    }
    const double charged = chargedMB(path, {pixel, library});
    if (!benchprocess::resetPeak()) {
      std::fprintf(stderr, "cannot reset the peak resident memory\n");
    }
    const double before = benchprocess::residentMB();
    const bool decoded =
        library ? platform::imagedecoding::decodeFitted(path, {pixel, pixel}).hasValue()
                : lumora::imagedecoder::decodeFile(path, pixel).hasValue();
    const double measured = benchprocess::peakResidentMB() - before;
    const bool within = charged < 0 || measured <= charged;
    std::printf("%-16s %-7s %-8s measured_mb %7.1f charged_mb %7.1f %s\n", name.c_str(),
                library ? "library" : "engine", decoded ? "decoded" : "refused", measured, charged,
                within ? "" : "OVER");
    std::fflush(nullptr);
    ::_exit(within ? 0 : 1);
  }
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

} // namespace

int main(int argc, char **argv) {
  Settings settings;
  if (!parse(argc, argv, settings)) {
    std::fprintf(stderr,
                 "usage: decode-memory-by-format [--folder DIR] [--size WxH] [--pixel N]\n");
    return 2;
  }
  QTemporaryDir scratch;
  const std::string dir =
      settings.folder.empty() ? scratch.path().toStdString() + "/formats" : settings.folder;
  if (!benchfolders::claimFolder(dir, "decode-memory-by-format")) {
    return 2;
  }
  if (!benchfolders::buildInChild("decode-memory-by-format",
                                  [&] { return generate(dir, settings); })) {
    std::fprintf(stderr, "could not make the photos in %s\n", dir.c_str());
    return 1;
  }
  bool allWithin = true;
  for (const Case &c : cases()) {
    for (const bool library : {false, true}) {
      allWithin = measure(dir + "/" + c.name, c.name, library, settings.pixel) && allWithin;
    }
  }
  std::printf("all_within_charge %s\n", allWithin ? "yes" : "no");
  return 0;
}
