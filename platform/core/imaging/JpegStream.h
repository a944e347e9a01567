#pragma once

#include "platform/core/Expected.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

/// The JPEG stream at the start of a file, read up to its end marker and no further: a
/// photo followed by gigabytes of anything costs only the photo's own bytes. Its frame
/// header tells what a decoder will need before a pixel is decoded.
namespace platform::jpegstream {

/// What the frame header and the scans of a JPEG say about its decode.
struct Layout {
  int width = 0;
  int height = 0;
  /// Coded with successive refinement: every coefficient is kept until the last scan.
  bool progressive = false;
  /// Start-of-scan markers seen; more than one in a sequential file means the components
  /// come in separate scans, which keeps every coefficient too.
  int scans = 0;
  /// The bytes libjpeg allocates for the whole image's coefficients (2 bytes each, blocks
  /// rounded up to whole MCUs), whether or not this decode needs them.
  std::int64_t coefficientBytes = 0;

  /// The coefficient memory this file's decode will take: all of it when coefficients are
  /// kept across scans, none worth counting otherwise (one MCU row at a time).
  [[nodiscard]] std::int64_t bufferedBytes() const {
    return progressive || scans > 1 ? coefficientBytes : 0;
  }
};

struct Stream {
  /// The file's bytes from its start through the end marker, or to the end of the file
  /// when there is none (a truncated JPEG, which its decoder then refuses).
  std::vector<std::uint8_t> bytes;
  /// Absent when no frame header came before the end.
  std::optional<Layout> layout;
};

enum class Failure {
  /// Not a JPEG, or it could not be read.
  unreadable,
  /// The stream runs past `limit` bytes.
  tooLong,
};

/// True when `bytes` (at least 3) start a JPEG file.
[[nodiscard]] bool hasSignature(const std::uint8_t *bytes, std::size_t size);

/// Reads the JPEG stream of the file open at `fd` with pread, at most `limit` bytes.
[[nodiscard]] Expected<Stream, Failure> read(int fd, std::int64_t limit);

} // namespace platform::jpegstream
