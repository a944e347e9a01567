#pragma once

#include "platform/core/imaging/FileSource.h"
#include "platform/core/imaging/JpegStream.h"

#include <cstdint>
#include <optional>
#include <string_view>

/// What decoding one photo will hold in memory, told from its header before any pixel is
/// decoded, so that a file whose decode would take gigabytes is refused instead.
namespace platform::decodecost {

/// The photo formats we decode through libvips.
enum class Format { jpeg, webp, png, tiff, gif, heif };

/// The format of a libvips loader, by class-name prefix; nothing for every other loader
/// (matrix text files, PPM, FITS, …), which is never used even when it is trusted.
[[nodiscard]] std::optional<Format> formatOfLoader(std::string_view loader);

/// The bytes a decode of `header` (opened lazily; no pixel read) will hold at its peak:
/// the file bytes it keeps in memory (`sourceBytes`), and the buffers its decoder needs
/// whatever size is asked for: JPEG coefficients kept across scans (`jpeg`), a whole
/// interlaced PNG, a GIF frame, an animated WebP's frames, a HEIF picture and its planes,
/// a TIFF strip (taken as the whole picture, which one strip may be). Estimates err high.
[[nodiscard]] std::int64_t peakBytes(Format format, VipsImage *header, std::int64_t sourceBytes,
                                     const std::optional<jpegstream::Layout> &jpeg);

} // namespace platform::decodecost
