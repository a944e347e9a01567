// libvips first: glib's headers use names that Qt defines as macros.
#include <vips/vips.h>

#include "app/store/ImageDecode.h"

#include <QtGlobal>
#include <array>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string_view>

namespace lumora::imagedecode {
namespace {

struct ObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
using ImageHandle = std::unique_ptr<VipsImage, ObjectUnref>;
using SourceHandle = std::unique_ptr<VipsSource, ObjectUnref>;

// The photo formats we show. Others that libvips happens to read (text matrices, CSV, PDF,
// SVG, FITS…) would turn arbitrary files into "images", so they are refused. BMP has no
// streaming loader and goes through ImageMagick from memory.
constexpr std::array<std::string_view, 6> kStreamingLoaders = {"jpegload_source", "pngload_source",
                                                               "webpload_source", "heifload_source",
                                                               "tiffload_source", "gifload_source"};
constexpr std::string_view kBufferLoader = "magickload_buffer";

// A file read whole into memory for the buffer loader may be at most this large.
constexpr std::streamoff kMaxBufferedBytes = std::streamoff{256} << 20;
// Decoded results above this many pixels are refused rather than allocated.
constexpr qint64 kMaxPixels = qint64{1} << 28;

std::atomic<bool> g_vipsStarted{false};

// The nickname ("jpegload_source") of the loader type libvips picked, or empty.
std::string_view loaderNickname(const char *typeName) {
  if (typeName == nullptr) {
    return {};
  }
  const VipsObjectClass *loaderClass = vips_class_find("VipsForeignLoad", typeName);
  return loaderClass != nullptr && loaderClass->nickname != nullptr ? loaderClass->nickname
                                                                    : std::string_view();
}

bool isStreamingLoader(std::string_view nickname) {
  for (const std::string_view allowed : kStreamingLoaders) {
    if (allowed == nickname) {
      return true;
    }
  }
  return false;
}

// Runs one stage, `operation(&out)` returning a vips status; the result owns its image.
template <typename Operation> ImageHandle run(Operation operation) {
  VipsImage *out = nullptr;
  const int status = operation(&out);
  ImageHandle result(out); // also releases what a failed stage may have left behind
  if (status != 0) {
    return nullptr;
  }
  return result;
}

// Everything we draw is 8-bit sRGB: grey, CMYK and 16-bit images are converted, an alpha
// band is kept, and any further bands are dropped.
ImageHandle toDisplayBands(VipsImage *in) {
  const ImageHandle srgb = run([in](VipsImage **out) {
    return vips_colourspace(in, out, VIPS_INTERPRETATION_sRGB, nullptr);
  });
  if (!srgb) {
    return nullptr;
  }
  ImageHandle bytes =
      run([&srgb](VipsImage **out) { return vips_cast_uchar(srgb.get(), out, nullptr); });
  if (!bytes || bytes->Bands == 3 || bytes->Bands == 4) {
    return bytes;
  }
  const int keep = vips_image_hasalpha(bytes.get()) ? 4 : 3;
  return run([&bytes, keep](VipsImage **out) {
    return vips_extract_band(bytes.get(), out, 0, "n", keep, nullptr);
  });
}

// Decodes now, on this thread, so that painting never waits for lazy pixels.
QImage toQImage(VipsImage *thumb) {
  const ImageHandle display = toDisplayBands(thumb);
  if (!display) {
    return {};
  }
  const int width = vips_image_get_width(display.get());
  const int height = vips_image_get_height(display.get());
  const int bands = display->Bands;
  if (width <= 0 || height <= 0 || qint64{width} * height > kMaxPixels) {
    return {};
  }
  size_t size = 0;
  void *pixels = vips_image_write_to_memory(display.get(), &size);
  if (pixels == nullptr || size != static_cast<size_t>(width) * height * bands) {
    g_free(pixels);
    return {};
  }
  const QImage wrapped(static_cast<uchar *>(pixels), width, height, qsizetype{width} * bands,
                       bands == 4 ? QImage::Format_RGBA8888 : QImage::Format_RGB888, g_free,
                       pixels);
  // The painting formats: the conversion copies, and the vips buffer goes with `wrapped`.
  return wrapped.convertToFormat(bands == 4 ? QImage::Format_ARGB32_Premultiplied
                                            : QImage::Format_RGB32);
}

// The file streamed through a photo loader that shrinks while it loads (JPEG, WebP and
// HEIC at load time, the others while streaming), fitting maxPixel × maxPixel, never
// enlarged; thumbnail applies the EXIF orientation.
QImage fromSource(VipsSource *source, int maxPixel) {
  const ImageHandle thumb = run([source, maxPixel](VipsImage **out) {
    return vips_thumbnail_source(source, out, maxPixel, "height", maxPixel, "size", VIPS_SIZE_DOWN,
                                 nullptr);
  });
  return thumb ? toQImage(thumb.get()) : QImage();
}

// For formats without a streaming loader: the whole file from memory, which must outlive
// the decode, hence the conversion in here.
QImage fromBuffer(const std::string &path, int maxPixel) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  const std::streamoff size = file ? std::streamoff(file.tellg()) : -1;
  if (size <= 0 || size > kMaxBufferedBytes) {
    return {};
  }
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (!file.seekg(0).read(bytes.data(), size)) {
    return {};
  }
  if (loaderNickname(vips_foreign_find_load_buffer(bytes.data(), bytes.size())) != kBufferLoader) {
    return {};
  }
  const ImageHandle thumb = run([&bytes, maxPixel](VipsImage **out) {
    return vips_thumbnail_buffer(bytes.data(), bytes.size(), out, maxPixel, "height", maxPixel,
                                 "size", VIPS_SIZE_DOWN, nullptr);
  });
  return thumb ? toQImage(thumb.get()) : QImage();
}

QImage decode(const std::string &path, int maxPixel) {
  // Only regular files: opening a FIFO or a device would block the worker or never end.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    return {};
  }
  // A source opens the path exactly as given; vips would read a trailing "[...]" of a
  // file name as load options.
  const SourceHandle source(vips_source_new_from_file(path.c_str()));
  if (!source) {
    return {};
  }
  const char *loader = vips_foreign_find_load_source(source.get());
  if (loader == nullptr) {
    return fromBuffer(path, maxPixel);
  }
  return isStreamingLoader(loaderNickname(loader)) ? fromSource(source.get(), maxPixel) : QImage();
}

} // namespace

void start() {
  static const bool started = [] {
    if (vips_init("pindle") != 0) {
      return false;
    }
    // The operation cache would keep decoded files and hand back stale pixels for a file
    // that changed on disk; every file here is read once per request anyway.
    vips_cache_set_max(0);
    g_vipsStarted = true;
    return true;
  }();
  Q_UNUSED(started);
}

QImage thumbnail(const std::string &path, int maxPixel) {
  start();
  if (!g_vipsStarted || maxPixel <= 0 || path.empty()) {
    return {};
  }
  QImage image = decode(path, maxPixel);
  vips_error_clear();
  return image;
}

// libvips' per-thread state only exists once it has started; shutting it down before
// then would touch uninitialised globals.
void releaseThreadState() {
  if (g_vipsStarted) {
    vips_thread_shutdown();
  }
}

} // namespace lumora::imagedecode
