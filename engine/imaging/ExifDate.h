#pragma once

#include "engine/model/Date.h"

#include <optional>
#include <string>
#include <string_view>

namespace lumora {

/// The EXIF texts a capture date is read from, as found in a file's metadata; a field the
/// file lacks, or holds as something other than text, is absent.
struct ExifDateFields {
  /// DateTimeOriginal, "yyyy:MM:dd HH:mm:ss".
  std::optional<std::string> dateTimeOriginal;
  /// OffsetTimeOriginal, "+09:00".
  std::optional<std::string> offsetTimeOriginal;

  bool operator==(const ExifDateFields &) const = default;
};

} // namespace lumora

/// Reading EXIF date-time texts. Pure functions without shared state, safe on any thread.
namespace lumora::exifdate {

/// Seconds east of UTC of a fixed-offset zone named "GMT" followed by an offset: "GMT"
/// alone, "GMT+09:00", "GMT-0530", "GMT+9" (hours 0–23, minutes 0–59). Absent for every
/// other identifier, including named zones.
[[nodiscard]] std::optional<int> fixedZoneOffset(std::string_view identifier);

/// The instant of an EXIF date-time "yyyy:MM:dd HH:mm:ss" read as a wall-clock time in the
/// zone `offsetSeconds` east of UTC, or in the system's current zone when that is absent.
/// Fields other than the year may have one digit. Absent when the text does not match the
/// whole pattern or names no real time (month 13, 30 February, hour 24, second 60).
[[nodiscard]] std::optional<Date> parse(std::string_view text, std::optional<int> offsetSeconds);

} // namespace lumora::exifdate
