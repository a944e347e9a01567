#pragma once

#include <cstdint>
#include <optional>

/// How a TIFF file lays out its first picture, read from its first directory: a decoder
/// holds one strip (or one row of tiles) at a time, so the rows that spans tell what it
/// needs far better than the whole picture.
namespace platform::tifflayout {

/// Strips taller than this are read a row at a time by libvips.
inline constexpr std::int64_t kScanlineRows = 128;

struct Layout {
  /// The rows of the picture that one strip, or one row of tiles, spans (a file without a
  /// RowsPerStrip tag has one strip: the whole picture).
  std::int64_t rowsPerChunk = 0;
  /// The strips or tiles are compressed, so each is read whole before it is decoded.
  bool compressed = true;
  /// The picture is in strips of more than `kScanlineRows` rows of interleaved samples, not
  /// YCbCr: libvips then has libtiff decode it one row at a time, not a strip at once.
  bool byScanline = false;
};

/// The layout of the first picture of the file open at `fd` (`length` bytes) when it is a
/// classic TIFF whose first directory reads; nothing for anything else (not a TIFF, a
/// BigTIFF, a damaged directory), which callers must take as the whole picture at once.
[[nodiscard]] std::optional<Layout> read(int fd, std::int64_t length);

} // namespace platform::tifflayout
