#include "app/shell/window/AppearanceMode.h"

#include "app/store/texts/Localized.h"

namespace lumora::appearancemode {

QString rawValue(AppearanceMode mode) {
  switch (mode) {
  case AppearanceMode::light: return QStringLiteral("light");
  case AppearanceMode::system: return QStringLiteral("system");
  case AppearanceMode::dark: break;
  }
  return QStringLiteral("dark");
}

std::optional<AppearanceMode> fromRaw(const QString &raw) {
  for (const AppearanceMode mode : kAll) {
    if (rawValue(mode) == raw) {
      return mode;
    }
  }
  return std::nullopt;
}

QString title(AppearanceMode mode) {
  switch (mode) {
  case AppearanceMode::light: return localized::string("浅色");
  case AppearanceMode::system: return localized::string("跟随系统");
  case AppearanceMode::dark: break;
  }
  return localized::string("深色（默认）");
}

QString storedRaw(const QSettings &settings) {
  return settings.value(QLatin1String(kSettingsKey), rawValue(AppearanceMode::dark)).toString();
}

AppearanceMode current(const QSettings &settings) {
  return fromRaw(storedRaw(settings)).value_or(AppearanceMode::dark);
}

void store(QSettings &settings, AppearanceMode mode) {
  settings.setValue(QLatin1String(kSettingsKey), rawValue(mode));
}

} // namespace lumora::appearancemode
