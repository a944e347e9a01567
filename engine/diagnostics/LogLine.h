#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

/// Building one diagnostics log line: "[time] [category] message\n", UTF-8.
namespace lumora::logline {

/// Length of a time stamp such as "2026-12-06T13:46:26Z".
inline constexpr std::size_t kTimestampLength = 20;

/// Writes the UTC instant `secondsSince1970` (whole seconds) as "YYYY-MM-DDTHH:MM:SSZ" into
/// `out`, which must hold kTimestampLength characters; no terminator is written. Pure
/// arithmetic without locale, time zone or allocation, so a signal handler may call it.
void formatTimestamp(std::int64_t secondsSince1970, char *out) noexcept;

/// The current instant formatted as above.
[[nodiscard]] QString currentTimestamp();

/// `text` with every line break escaped, so that one logged event is always one physical line
/// whatever file name or error text it carries: LF, CR, VT, FF, NEL, U+2028 and U+2029 become
/// "\n", "\r", "\v", "\f", "\u0085", "\u2028" and "\u2029"; a backslash is doubled so the
/// escapes cannot be confused with text that already holds them.
[[nodiscard]] QString escaped(const QString &text);

/// The complete line for `category` and `message` at `secondsSince1970`, line feed included.
[[nodiscard]] QByteArray build(const QString &category, const QString &message,
                               std::int64_t secondsSince1970);

} // namespace lumora::logline
