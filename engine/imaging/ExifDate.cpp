#include "engine/imaging/ExifDate.h"

#include <chrono>
#include <ctime>

namespace lumora::exifdate {
namespace {

/// Reads between `minDigits` and `maxDigits` decimal digits at `pos`, advancing it.
std::optional<int> readNumber(std::string_view text, std::size_t &pos, int minDigits,
                              int maxDigits) {
  int value = 0;
  int digits = 0;
  while (pos < text.size() && digits < maxDigits && text[pos] >= '0' && text[pos] <= '9') {
    value = value * 10 + (text[pos] - '0');
    ++pos;
    ++digits;
  }
  if (digits < minDigits) {
    return std::nullopt;
  }
  return value;
}

bool readChar(std::string_view text, std::size_t &pos, char expected) {
  if (pos < text.size() && text[pos] == expected) {
    ++pos;
    return true;
  }
  return false;
}

struct WallClock {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

std::optional<WallClock> readWallClock(std::string_view text) {
  std::size_t pos = 0;
  const auto year = readNumber(text, pos, 4, 4);
  const bool sep1 = readChar(text, pos, ':');
  const auto month = readNumber(text, pos, 1, 2);
  const bool sep2 = readChar(text, pos, ':');
  const auto day = readNumber(text, pos, 1, 2);
  const bool sep3 = readChar(text, pos, ' ');
  const auto hour = readNumber(text, pos, 1, 2);
  const bool sep4 = readChar(text, pos, ':');
  const auto minute = readNumber(text, pos, 1, 2);
  const bool sep5 = readChar(text, pos, ':');
  const auto second = readNumber(text, pos, 1, 2);
  if (!year || !month || !day || !hour || !minute || !second || !sep1 || !sep2 || !sep3 || !sep4 ||
      !sep5 || pos != text.size()) {
    return std::nullopt;
  }
  return WallClock{*year, *month, *day, *hour, *minute, *second};
}

/// The calendar day, when the fields name a real one (year 1 to 9999).
std::optional<std::chrono::sys_days> calendarDay(const WallClock &clock) {
  const std::chrono::year_month_day ymd{std::chrono::year{clock.year},
                                        std::chrono::month{static_cast<unsigned>(clock.month)},
                                        std::chrono::day{static_cast<unsigned>(clock.day)}};
  if (clock.year < 1 || !ymd.ok()) {
    return std::nullopt;
  }
  return std::chrono::sys_days{ymd};
}

/// The wall-clock time in the system's zone. mktime settles daylight-saving itself: a time
/// that falls in a spring-forward gap is moved past it rather than rejected.
std::optional<double> localSeconds(const WallClock &clock) {
  std::tm fields{};
  fields.tm_year = clock.year - 1900;
  fields.tm_mon = clock.month - 1;
  fields.tm_mday = clock.day;
  fields.tm_hour = clock.hour;
  fields.tm_min = clock.minute;
  fields.tm_sec = clock.second;
  fields.tm_isdst = -1;
  const std::time_t seconds = std::mktime(&fields);
  if (seconds == static_cast<std::time_t>(-1)) {
    return std::nullopt;
  }
  return static_cast<double>(seconds);
}

} // namespace

std::optional<int> fixedZoneOffset(std::string_view identifier) {
  constexpr std::string_view kPrefix = "GMT";
  if (!identifier.starts_with(kPrefix)) {
    return std::nullopt;
  }
  const std::string_view offset = identifier.substr(kPrefix.size());
  if (offset.empty()) {
    return 0;
  }
  if (offset[0] != '+' && offset[0] != '-') {
    return std::nullopt;
  }
  std::size_t pos = 1;
  const auto hours = readNumber(offset, pos, 1, 2);
  std::optional<int> minutes = 0;
  if (pos < offset.size()) {
    readChar(offset, pos, ':');
    minutes = readNumber(offset, pos, 2, 2);
  }
  if (!hours || !minutes || pos != offset.size() || *hours > 23 || *minutes > 59) {
    return std::nullopt;
  }
  const int seconds = *hours * 3600 + *minutes * 60;
  return offset[0] == '-' ? -seconds : seconds;
}

std::optional<Date> parse(std::string_view text, std::optional<int> offsetSeconds) {
  const auto clock = readWallClock(text);
  if (!clock || clock->hour > 23 || clock->minute > 59 || clock->second > 59) {
    return std::nullopt;
  }
  const auto day = calendarDay(*clock);
  if (!day) {
    return std::nullopt;
  }
  if (!offsetSeconds) {
    const auto local = localSeconds(*clock);
    return local ? std::optional<Date>(Date::fromSeconds(*local)) : std::nullopt;
  }
  const auto since = day->time_since_epoch();
  const double midnight =
      static_cast<double>(std::chrono::duration_cast<std::chrono::seconds>(since).count());
  const double wallClock = clock->hour * 3600.0 + clock->minute * 60.0 + clock->second;
  return Date::fromSeconds(midnight + wallClock - *offsetSeconds);
}

} // namespace lumora::exifdate
