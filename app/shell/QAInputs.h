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

/// The value of the launch option `flag` ("--window-size"), given either as the argument
/// after it or joined to it with "=" ("--window-size=900x600"): the first argument that is
/// the flag or starts with the flag and "=" decides; none when that is the flag in last place.
[[nodiscard]] std::optional<QString> optionValue(const QStringList &arguments, const QString &flag);

} // namespace lumora::qa
