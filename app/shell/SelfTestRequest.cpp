#include "app/shell/SelfTestRequest.h"

#include "app/shell/QAInputs.h"
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
  return qa::optionValue(arguments, sources.argumentSwitch);
}

} // namespace lumora::selftestrequest
