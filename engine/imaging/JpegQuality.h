#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

/// What a JPEG file's own quantisation tables say about how much it lost when it was saved:
/// an encoder divides each frequency of every 8 × 8 block by the table's step and rounds,
/// so the steps set how much fine detail, grain and clean edges survive. Lossless formats
/// lose nothing and have no tables.
namespace lumora::jpegquality {

/// The luminance table of one JPEG file, summarised.
struct SavedQuality {
  /// The quality (1…100) of the standard tables nearest to the file's, as the common
  /// encoders scale them: what "saved at quality N" means.
  int quality = 100;
  /// Root mean square of the luminance table's 63 steps above the block mean, in grey
  /// levels: how coarsely the detail of a block was kept.
  float detailStep = 1;

  bool operator==(const SavedQuality &) const = default;
};

/// Reads the first luminance quantisation table from the start of a JPEG file's bytes,
/// following its segments from the start-of-image marker until the first scan. Absent when
/// the bytes are no JPEG, hold no table before the scan, are damaged, or end before a table
/// was found. Reads nothing outside `bytes` whatever they hold.
[[nodiscard]] std::optional<SavedQuality> fromHeader(std::string_view bytes);

/// The same for the file at `path` (native bytes), reading at most its first megabyte.
/// Absent as above, and when the file cannot be read or is not a regular file.
[[nodiscard]] std::optional<SavedQuality> fromFile(const std::string &path);

/// The quality of the standard tables nearest to the 64 steps of `table` (in zigzag order,
/// like the file stores them).
[[nodiscard]] int nearestQuality(const std::uint16_t (&table)[64]);

} // namespace lumora::jpegquality
