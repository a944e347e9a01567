#include "app/shell/SelfTestRequest.h"

#include "app/store/services/QaMarkers.h"

namespace lumora::selftestrequest {

Sources interactionSources() {
  return {QStringLiteral("/tmp/corvale-selftest-ui"), QStringLiteral("SelftestFolder"),
          QStringLiteral("--selftest-ui")};
}

Sources motionSources() {
  return {QStringLiteral("/tmp/corvale-selftest-motion"), QStringLiteral("SelftestMotionFolder"),
          QStringLiteral("--selftest-motion")};
}

std::optional<QString> read(const Sources &sources, const QSettings &settings,
                            const QStringList &arguments) {
  if (std::optional<QString> folder = qamarkers::folder(sources.markerPath)) {
    return folder;
  }
  const QString stored = settings.value(sources.settingsKey).toString();
  if (!stored.isEmpty()) {
    return stored;
  }
  const qsizetype at = arguments.indexOf(sources.argumentSwitch);
  if (at >= 0 && at + 1 < arguments.size()) {
    return arguments.at(at + 1);
  }
  return std::nullopt;
}

} // namespace lumora::selftestrequest
