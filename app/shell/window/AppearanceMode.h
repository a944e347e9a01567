#pragma once

#include <QSettings>
#include <QString>
#include <array>
#include <optional>

namespace lumora {

/// The appearance the user picks in the 外观 menu, stored as the user default
/// "AppearanceMode" ("dark", "light" or "system"; dark when missing or unknown).
enum class AppearanceMode { dark, light, system };

namespace appearancemode {

inline constexpr char kSettingsKey[] = "AppearanceMode";
/// In menu order.
inline constexpr std::array<AppearanceMode, 3> kAll = {AppearanceMode::dark, AppearanceMode::light,
                                                       AppearanceMode::system};

[[nodiscard]] QString rawValue(AppearanceMode mode);
/// Exactly the three raw values; anything else is none.
[[nodiscard]] std::optional<AppearanceMode> fromRaw(const QString &raw);
/// The localized menu title: "深色（默认）", "浅色", "跟随系统".
[[nodiscard]] QString title(AppearanceMode mode);
/// The stored mode read afresh: "light" and "system" name theirs, anything else is dark.
[[nodiscard]] AppearanceMode current(const QSettings &settings);
/// The raw stored text, dark's raw value when missing.
[[nodiscard]] QString storedRaw(const QSettings &settings);
void store(QSettings &settings, AppearanceMode mode);

} // namespace appearancemode
} // namespace lumora
