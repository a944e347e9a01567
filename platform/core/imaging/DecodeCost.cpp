#include "platform/core/imaging/DecodeCost.h"

#include <array>
#include <utility>

namespace platform::decodecost {

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

std::int64_t peakBytes(Format format, VipsImage *header, std::int64_t sourceBytes,
                       const std::optional<jpegstream::Layout> &jpeg) {
  const std::int64_t pixels = std::int64_t{header->Xsize} * header->Ysize;
  const std::int64_t sample = static_cast<std::int64_t>(vips_format_sizeof(header->BandFmt));
  const std::int64_t whole = pixels * header->Bands * sample;
  int interlaced = 0;
  switch (format) {
  case Format::jpeg:
    // Decoded one MCU row at a time unless the coefficients are kept across scans.
    return sourceBytes + (jpeg ? jpeg->bufferedBytes() : whole);
  case Format::png:
    // Interlaced rows arrive in seven passes, so the whole picture is decoded at once.
    if (vips_image_get_typeof(header, "interlaced") != 0 &&
        vips_image_get_int(header, "interlaced", &interlaced) == 0 && interlaced != 0) {
      return sourceBytes + whole;
    }
    return sourceBytes;
  case Format::gif: return sourceBytes + pixels * 4; // one RGBA frame at full size
  case Format::webp:
    // A still picture decodes straight to the reduced size; animation composes full frames.
    return sourceBytes + (vips_image_get_n_pages(header) > 1 ? pixels * 4 * 2 : 0);
  case Format::heif:
    return sourceBytes + pixels * (header->Bands * sample + 2); // decoded planes and pixels
  case Format::tiff: return sourceBytes + whole;
  }
  return sourceBytes + whole;
}

} // namespace platform::decodecost
