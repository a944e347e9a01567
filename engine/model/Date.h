#pragma once

#include <compare>

namespace lumora {

/// An absolute point in time: seconds since 1970-01-01 00:00:00 UTC, as a double so that
/// sub-second file times survive the round trip through the cache files.
struct Date {
  double secondsSince1970 = 0;

  /// The current time from the system clock.
  [[nodiscard]] static Date now();
  [[nodiscard]] static constexpr Date fromSeconds(double seconds) { return Date{seconds}; }

  auto operator<=>(const Date &) const = default;
  bool operator==(const Date &) const = default;
};

} // namespace lumora
