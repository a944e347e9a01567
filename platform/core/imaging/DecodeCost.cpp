#include "platform/core/imaging/DecodeCost.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

namespace platform::decodecost {
namespace {

constexpr std::int64_t kMost = std::numeric_limits<std::int64_t>::max();

/// `a` × `b` for sizes (never negative), saturating instead of overflowing: a header may
/// claim any width, height and band count, and its charge must then be refused, not wrap.
std::int64_t times(std::int64_t a, std::int64_t b) {
  std::int64_t product = 0;
  return __builtin_mul_overflow(a, b, &product) ? kMost : product;
}

std::int64_t times(std::int64_t a, std::int64_t b, std::int64_t c) { return times(times(a, b), c); }

/// `a` + `b` for sizes, saturating.
std::int64_t plus(std::int64_t a, std::int64_t b) {
  std::int64_t sum = 0;
  return __builtin_add_overflow(a, b, &sum) ? kMost : sum;
}

/// The size of the picture a decode works on and what one pixel of it takes.
struct Picture {
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::int64_t bands = 0;
  std::int64_t sampleBytes = 0;
  bool alpha = false;

  [[nodiscard]] std::int64_t pixelBytes() const { return times(bands, sampleBytes); }
  [[nodiscard]] std::int64_t wholeBytes() const { return times(width, height, pixelBytes()); }
};

/// The largest of the JPEG decoder's 1/2, 1/4 and 1/8 scales that still leaves `maxPixel`
/// on the longer side, as the decoders ask for it.
std::int64_t jpegShrink(const Picture &full, int maxPixel) {
  const double shrink =
      static_cast<double>(std::max(full.width, full.height)) / std::max(maxPixel, 1);
  return shrink >= 8 ? 8 : shrink >= 4 ? 4 : shrink >= 2 ? 2 : 1;
}

/// `full` as decoded at 1/`shrink` of its size, rounded up as the decoders round.
Picture shrunk(Picture full, std::int64_t shrink) {
  full.width = (full.width + shrink - 1) / shrink;
  full.height = (full.height + shrink - 1) / shrink;
  return full;
}

/// The rows `picture` holds while it streams through the resampler.
std::int64_t streamBytes(const Picture &picture, const Request &request) {
  const std::int64_t bytes =
      times(std::min(picture.height, kStreamRows), picture.width, picture.pixelBytes());
  if (picture.alpha && request.viaThumbnail) {
    return plus(bytes, times(std::min(picture.height, kFloatAlphaRows), picture.width,
                             times(picture.bands, 4)));
  }
  return bytes;
}

/// The picture a decode of `full` to `maxPixel` returns, as RGBA, and its copy when it is
/// turned upright.
std::int64_t returnedBytes(const Picture &full, int maxPixel) {
  const double scale =
      std::min(1.0, static_cast<double>(maxPixel) /
                        std::max<std::int64_t>(std::max(full.width, full.height), 1));
  const auto side = [&](std::int64_t length) {
    return static_cast<std::int64_t>(static_cast<double>(length) * scale) + 1;
  };
  return times(side(full.width), side(full.height), 4 * 2);
}

/// A TIFF's strip (or row of tiles) decoded, beside its coded bytes when it is compressed;
/// without a layout, the whole picture, which one strip may be. A tall strip decoded a row at
/// a time holds one row, and its coded bytes when it is compressed.
std::int64_t tiffBytes(const Picture &full, const FileFacts &file) {
  const tifflayout::Layout layout = file.tiff.value_or(tifflayout::Layout{full.height, true});
  const std::int64_t rows = std::clamp<std::int64_t>(layout.rowsPerChunk, 1, full.height);
  const std::int64_t coded = times(rows, full.width, full.pixelBytes());
  const std::int64_t decoded = layout.byScanline ? times(full.width, full.pixelBytes()) : coded;
  return plus(decoded, layout.compressed ? std::min(coded, file.length) : 0);
}

bool isInterlaced(VipsImage *header) {
  int interlaced = 0;
  return vips_image_get_typeof(header, "interlaced") != 0 &&
         vips_image_get_int(header, "interlaced", &interlaced) == 0 && interlaced != 0;
}

/// What the decoder itself holds beyond the rows it streams, and the picture it streams.
std::pair<std::int64_t, Picture> decoderBytes(Format format, VipsImage *header, const Picture &full,
                                              const FileFacts &file, const Request &request) {
  const std::int64_t pixels = times(full.width, full.height);
  switch (format) {
  case Format::jpeg: {
    // Coefficients kept across scans, then the scaled picture, which libjpeg-turbo
    // returns whole.
    const Picture scaled = shrunk(full, jpegShrink(full, request.maxPixel));
    return {plus(file.jpeg ? file.jpeg->bufferedBytes() : full.wholeBytes(), scaled.wholeBytes()),
            scaled};
  }
  case Format::png:
    // Interlaced rows arrive in seven passes, so the whole picture is decoded at once.
    return {isInterlaced(header) ? full.wholeBytes() : 0, full};
  case Format::tiff: return {tiffBytes(full, file), full};
  case Format::gif: return {times(pixels, 4), full}; // one RGBA frame at full size
  case Format::heif:
    // libheif's colour planes (up to 3 bytes a pixel for deep colour) and the interleaved
    // picture it converts them into, which the loader reads its rows from.
    return {times(pixels, plus(3, full.pixelBytes())), full};
  case Format::webp: {
    const std::int64_t longest = std::max<std::int64_t>(std::max(full.width, full.height), 1);
    const std::int64_t shrink = std::max<std::int64_t>(longest / std::max(request.maxPixel, 1), 1);
    // A lossy still picture decodes straight to the reduced size when we ask for it;
    // lossless and transparent ones are decoded whole (ARGB and an alpha plane) and then
    // scaled; animation composes full frames.
    const bool whole = file.webpLossless || full.alpha || request.viaThumbnail;
    const std::int64_t frames = vips_image_get_n_pages(header) > 1 ? times(pixels, 4 * 2) : 0;
    return {plus(whole ? times(pixels, 5) : 0, frames),
            request.viaThumbnail ? full : shrunk(full, shrink)};
  }
  }
  return {full.wholeBytes(), full};
}

} // namespace

std::optional<Format> formatOfLoader(std::string_view loader) {
  static constexpr std::array<std::pair<std::string_view, Format>, 6> kLoaders{{
      {"VipsForeignLoadJpeg", Format::jpeg},
      {"VipsForeignLoadWebp", Format::webp},
      {"VipsForeignLoadPng", Format::png},
      {"VipsForeignLoadTiff", Format::tiff},
      {"VipsForeignLoadNsgif", Format::gif},
      {"VipsForeignLoadHeif", Format::heif},
  }};
  for (const auto &[prefix, format] : kLoaders) {
    if (loader.starts_with(prefix)) {
      return format;
    }
  }
  return std::nullopt;
}

std::int64_t peakBytes(Format format, VipsImage *header, const FileFacts &file,
                       const Request &request) {
  const Request asked{std::max(request.maxPixel, 1), request.viaThumbnail, request.keepsWhole};
  const Picture full{header->Xsize, header->Ysize, header->Bands,
                     static_cast<std::int64_t>(vips_format_sizeof(header->BandFmt)),
                     vips_image_hasalpha(header) != 0};
  const auto [decoder, streamed] = decoderBytes(format, header, full, file, asked);
  const std::int64_t whole = asked.keepsWhole ? times(full.width, full.height, full.bands) : 0;
  return plus(
      plus(plus(kFixedBytes, file.heldBytes), whole),
      plus(plus(decoder, streamBytes(streamed, asked)), returnedBytes(full, asked.maxPixel)));
}

} // namespace platform::decodecost
