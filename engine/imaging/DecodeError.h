#pragma once

#include <QString>

namespace lumora {

/// Why a file gave no image.
struct DecodeError {
  enum class Kind {
    /// Not a regular file (folder, FIFO, device) or it could not be opened.
    unreadable,
    /// Not one of the image formats we decode, whatever its extension says.
    unsupportedFormat,
    /// The header claims more pixels, or a decode that needs more memory, than a scan
    /// will spend on one photo.
    tooLarge,
    /// Recognised but damaged, truncated or empty.
    damaged,
    /// The image library could not be started.
    unavailable,
  };
  Kind kind = Kind::damaged;
  /// A short English description for the diagnostics log.
  QString message;
  /// For `tooLarge`: the photo has more pixels than any photo may have, whatever memory the
  /// machine has; false when it is the memory its decoding needs that is over the limit.
  bool overPixelLimit = false;

  bool operator==(const DecodeError &) const = default;
};

} // namespace lumora
