#pragma once

#include "engine/model/Date.h"

#include <QString>
#include <cstdint>
#include <optional>

/// Numbers, durations, timings, percentages and dates as the user reads them. Dates follow
/// the Chinese (zh_CN) patterns in local time; numbers follow the current default locale.
/// Used on the GUI thread.
namespace lumora::Fmt {

/// The integer with the digit grouping of the current default locale (re-read on every
/// call, so a locale change applies at once); grouping is never omitted, not even in the
/// C locale.
[[nodiscard]] QString number(std::int64_t value);
/// A Chinese duration: "几秒" for anything not finite or not above 0, else whole seconds
/// (at least 1), "m 分 s 秒", "m 分钟" or whole hours.
[[nodiscard]] QString duration(double seconds);
/// Milliseconds per photo: "—" without a positive finite value, one decimal below 10,
/// none from 10 on; always a decimal point.
[[nodiscard]] QString msPerPhoto(std::optional<double> milliseconds);
/// A 0…100 percentage rounded half away from zero with "%" appended (NaN reads 0 %).
[[nodiscard]] QString percent(double value);
/// A byte amount as a file size, in decimal units (1 KB = 1000 bytes): "0 字节" and
/// "999 字节" below a kilobyte, whole kilobytes ("12 KB"), one decimal for megabytes
/// ("1.5 MB") and two from gigabytes on ("1.23 GB"), trailing zeros dropped ("1 MB"); a
/// value that rounds up to 1000 of a unit reads as 1 of the next. Negative amounts read 0.
[[nodiscard]] QString byteCount(std::int64_t bytes);
/// The medium date, e.g. "2024年3月5日"; empty for a NaN or infinite date.
[[nodiscard]] QString mediumDate(Date date);
/// The medium date and short time, e.g. "2024年3月5日 14:07"; empty like `mediumDate`.
[[nodiscard]] QString mediumDateTime(Date date);

} // namespace lumora::Fmt
