#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>
#include <optional>

/// How QA asks for a self-test at launch: a marker file holding the folder, a setting
/// naming it, or a launch switch followed by it.
namespace lumora::selftestrequest {

struct Sources {
  QString markerPath;
  QString settingsKey;
  QString argumentSwitch;
};

[[nodiscard]] Sources interactionSources();
[[nodiscard]] Sources motionSources();

/// The folder of the first source that names one: the marker file's text trimmed (empty,
/// unreadable, refused or not an absolute path passes on; see `qamarkers::folder`), the setting as
/// stored (empty passes on), the switch's launch value as given, either "--switch folder" or
/// "--switch=folder" (`qa::optionValue`: the first occurrence decides; a switch in last place
/// names nothing).
[[nodiscard]] std::optional<QString> read(const Sources &sources, const QSettings &settings,
                                          const QStringList &arguments);

} // namespace lumora::selftestrequest
