#pragma once

#include "engine/model/Date.h"

#include <QCalendar>
#include <QString>

/// Buckets dates into calendar months (local time, Gregorian calendar) for the month
/// sections of the results grid, and titles those months. Used on the GUI thread.
namespace lumora::MonthKey {

/// The calendar months are taken from.
[[nodiscard]] QCalendar calendar();
/// "year-month" in decimal digits, the month without a leading zero ("2024-3"). A date
/// with no place in time (NaN, infinite) reads "1970-1"; absurdly distant finite dates are
/// clamped to the ends of the range QDateTime supports (some 292 million years).
[[nodiscard]] QString key(Date date);
/// The zh_CN year-and-month title, e.g. "2024年3月"; "1970年1月" where `key` says 1970-1.
[[nodiscard]] QString title(Date date);

} // namespace lumora::MonthKey
