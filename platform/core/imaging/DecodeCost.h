#pragma once

#include "platform/core/imaging/FileSource.h"
#include "platform/core/imaging/JpegStream.h"
#include "platform/core/imaging/TiffLayout.h"

#include <cstdint>
#include <optional>
#include <string_view>

/// What decoding one photo will hold in memory, told from its header before any pixel is
/// decoded, so that a file whose decode would take gigabytes is refused instead, and so
/// that the decodes running at once never hold more than the budget together.
///
/// The figures were measured with libvips 8.14 on one vips thread (the runtime sets that):
/// a picture that streams through the resampler holds up to about 1,800 rows of its full
/// width in the loader's and the shrinker's caches, whatever its height beyond that; a
/// picture the decoder makes whole (interlaced PNG, GIF, HEIF, lossless or transparent
/// WebP, a progressive JPEG's coefficients) holds that too. Estimates err high.
namespace platform::decodecost {

/// The photo formats we decode through libvips.
enum class Format { jpeg, webp, png, tiff, gif, heif };

/// The format of a libvips loader, by class-name prefix; nothing for every other loader
/// (matrix text files, PPM, FITS, …), which is never used even when it is trusted.
[[nodiscard]] std::optional<Format> formatOfLoader(std::string_view loader);

/// What a decode keeps besides the pixels, for every size: loader state, codec tables,
/// the resampler's kernels and the thread's own buffers.
inline constexpr std::int64_t kFixedBytes = std::int64_t{16} << 20;
/// Rows of the decoded picture a streaming decode holds at once, at most.
inline constexpr std::int64_t kStreamRows = 2048;
/// Rows vips_thumbnail holds premultiplied in floating point, 4 bytes a sample, besides the
/// stream's own rows, when a picture has alpha.
inline constexpr std::int64_t kFloatAlphaRows = 1024;

/// What the file says beyond its libvips header.
struct FileFacts {
  /// File bytes the decode keeps in memory (a JPEG's stream; a WebP or GIF copied in).
  std::int64_t heldBytes = 0;
  /// The bytes of the file the decoder reads, at most.
  std::int64_t length = 0;
  /// JPEG only: its frame header and scans.
  std::optional<jpegstream::Layout> jpeg;
  /// WebP only: the picture is coded losslessly, which libwebp decodes whole.
  bool webpLossless = false;
  /// TIFF only: its strips or tiles, when its first directory says.
  std::optional<tifflayout::Layout> tiff;
};

/// What the decode is asked for.
struct Request {
  /// The longest side of the picture it returns.
  int maxPixel = 512;
  /// It goes through vips_thumbnail, which premultiplies alpha in floating point (our own
  /// decoder premultiplies in the picture's sample format) and does not always have libwebp
  /// decode at the reduced size.
  bool viaThumbnail = false;
  /// The decoded picture is held whole at its own size, 8 bits a sample, while it is measured
  /// and then scaled down.
  bool keepsWhole = false;
};

/// The bytes a decode of `header` (opened lazily; no pixel read) will hold at its peak:
/// the file bytes it keeps, the buffers its decoder needs (a whole picture where the
/// decoder makes it whole: interlaced PNG, GIF frame, HEIF planes, lossless or transparent
/// WebP, a TIFF strip or row of tiles and its coded bytes; a progressive JPEG's coefficients),
/// the rows it streams through the resampler at the width it is decoded at (JPEG and WebP
/// shrink while they decode), and the picture it returns.
[[nodiscard]] std::int64_t peakBytes(Format format, VipsImage *header, const FileFacts &file,
                                     const Request &request);

} // namespace platform::decodecost
