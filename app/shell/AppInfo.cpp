#include "app/shell/AppInfo.h"

#include "engine/diagnostics/Diagnostics.h"

#ifndef PINDLE_SHORT_VERSION
#define PINDLE_SHORT_VERSION ""
#endif
#ifndef PINDLE_BUILD_VERSION
#define PINDLE_BUILD_VERSION ""
#endif

namespace lumora {
namespace {

std::optional<QString> nonEmpty(const char *value) {
  const QString text = QString::fromUtf8(value);
  return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
}

} // namespace

std::optional<QString> AppInfo::compiledShortVersion() { return nonEmpty(PINDLE_SHORT_VERSION); }

std::optional<QString> AppInfo::compiledBuildVersion() { return nonEmpty(PINDLE_BUILD_VERSION); }

QString AppInfo::shortVersion() { return compiledShortVersion().value_or(QStringLiteral("1.0")); }

QString AppInfo::buildVersion() { return compiledBuildVersion().value_or(QStringLiteral("1")); }

void AppInfo::describeToDiagnostics() {
  Diagnostics::setBuildVersion(buildVersion());
  Diagnostics::setApplicationIdentifier(QString::fromLatin1(kIdentifier));
}

} // namespace lumora
