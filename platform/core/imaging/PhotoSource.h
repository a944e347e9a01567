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
    /// Its decode must wait for memory, which it may not do while it holds the file's
    /// bytes: let the photo go, `decodebudget::reserve(bytes)`, and open it again with
    /// that reservation.
    mustWait,
  };
  Kind kind = Kind::unreadable;
  /// A short English description for the diagnostics log.
  QString message;
  /// `mustWait` only: what the decode needs.
  std::int64_t bytes = 0;
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
/// under a reservation of the bytes it may take (its file size, at most `kShare`), so that
/// files with huge tails and no end marker are not read by every worker at once; given
/// `held` (what an earlier open's decode asked for), under that instead, and a stream that
/// no longer fits in it is unreadable (the file changed).
[[nodiscard]] Expected<PhotoSource, Failure> open(int fd, std::int64_t fileSize,
                                                  decodebudget::Reservation held = {});

/// What decoding `photo` (its header opened as `header`, of `format`) for `request` will
/// hold at its peak, counting the file bytes it keeps in memory.
[[nodiscard]] std::int64_t decodeCharge(const PhotoSource &photo, decodecost::Format format,
                                        VipsImage *header, const decodecost::Request &request);

/// Reserves what decoding `photo` (its header opened as `header`, of `format`) for
/// `request` will need, or refuses when that is over `decodebudget::ceiling()`; takes over
/// the reservation `photo` read its stream with. May wait for other decodes when `photo`
/// holds no budget; a JPEG, whose stream stays in memory, never waits but fails with
/// `mustWait` when its reservation cannot grow at once, so nothing holds memory the budget
/// does not count.
[[nodiscard]] Expected<decodebudget::Reservation, Failure>
reserveDecode(PhotoSource &photo, decodecost::Format format, VipsImage *header,
              const decodecost::Request &request);

} // namespace platform::photosource
