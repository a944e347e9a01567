#pragma once

#include "app/shell/theme/Theme.h"

#include <QSettings>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <optional>

/// The QA hooks that test scripts use to pin the appearance and the window size: the marker
/// file "corvale-qa-appearance" in the marker folder (/tmp), the user default "QaWindowSize"
/// and the launch arguments "--force-appearance" and "--window-size". Nothing is cached:
/// each call reads its source again.
namespace lumora::qa {

inline constexpr char kAppearanceMarker[] = "corvale-qa-appearance";
inline constexpr char kWindowSizeKey[] = "QaWindowSize";
/// The largest marker the application reads; a longer file counts as absent.
inline constexpr qint64 kMarkerLimit = 64;
/// Window sides outside 1…32767 are rejected, like text that is not a number.
inline constexpr double kMaxSide = 32767;

/// The marker's forced scheme: "light" or "dark" after trimming and lower-casing. The marker
/// goes through the QA markers' one reader (regular file of the user, no link, no
/// blocking), limited to 64 bytes of UTF-8; anything else forces nothing.
[[nodiscard]] std::optional<ColorScheme> forcedColorScheme(const QString &markerDirectory);

/// "W x H" text, lower-cased and split at every "x" with empty pieces dropped: exactly two
/// finite numbers of 1 to 32767 each, or none.
[[nodiscard]] std::optional<QSizeF> parseSize(const QString &text);

/// `parseSize` of the user default "QaWindowSize"; none when it is missing.
[[nodiscard]] std::optional<QSizeF> forcedWindowSize(const QSettings &settings);

/// The value after the first `flag` in `arguments`, none when the flag is missing or last.
[[nodiscard]] std::optional<QString> argumentAfter(const QStringList &arguments,
                                                   const QString &flag);

} // namespace lumora::qa
