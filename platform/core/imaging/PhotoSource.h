#pragma once

#include "platform/core/Expected.h"
#include "platform/core/imaging/DecodeBudget.h"
#include "platform/core/imaging/DecodeCost.h"
#include "platform/core/imaging/FileSource.h"
#include "platform/core/imaging/JpegStream.h"
#include "platform/core/imaging/TiffLayout.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

/// A photo file made ready for libvips without ever mapping it: a JPEG is read up to its
/// end marker into memory we own, every other file is read through pread on demand. The
/// file may be truncated or rewritten while it is decoded; the decode then fails like one
/// of a damaged file and never faults.
namespace platform::photosource {

struct Failure {
  enum class Kind {
    /// The file could not be read.
    unreadable,
    /// Decoding it would need more memory than one photo may have on this machine.
    tooLarge,
  };
  Kind kind = Kind::unreadable;
  /// A short English description for the diagnostics log.
  QString message;
};

struct PhotoSource {
  /// JPEG only: the stream up to its end marker, which `source` reads, and what its frame
  /// header says.
  std::vector<std::uint8_t> jpegBytes;
  std::optional<jpegstream::Layout> jpegLayout;
  filesource::SourcePtr source;
  /// How many bytes `source` shows: for a JPEG its stream, for a WebP what its container
  /// declares, for other files their size when opened.
  std::int64_t length = 0;
  /// WebP only: its picture is coded losslessly (libwebp then decodes it whole).
  bool webpLossless = false;
  /// TIFF only: the strips or tiles of its first picture, when its first directory reads.
  std::optional<tifflayout::Layout> tiffLayout;
  /// JPEG only: the budget taken to read the stream, which the decode's reservation
  /// replaces.
  decodebudget::Reservation reading;
};

/// Prepares the regular file open at `fd`, `fileSize` bytes long. A JPEG's stream is read
/// under a reservation of the bytes it may take (its file size, at most a worker's share),
/// so that files with huge tails and no end marker are not read by every worker at once.
[[nodiscard]] Expected<PhotoSource, Failure> open(int fd, std::int64_t fileSize);

/// What decoding `photo` (its header opened as `header`, of `format`) for `request` will
/// hold at its peak, counting the file bytes it keeps in memory.
[[nodiscard]] std::int64_t decodeCharge(const PhotoSource &photo, decodecost::Format format,
                                        VipsImage *header, const decodecost::Request &request);

/// Reserves what decoding `photo` (its header opened as `header`, of `format`) for
/// `request` will need, or refuses when that is over `decodebudget::ceiling()`; takes over
/// the reservation `photo` read its stream with. May wait for other decodes (for all of them
/// to end when it needs more than a worker's share), holding nothing meanwhile.
[[nodiscard]] Expected<decodebudget::Reservation, Failure>
reserveDecode(PhotoSource &photo, decodecost::Format format, VipsImage *header,
              const decodecost::Request &request);

} // namespace platform::photosource
