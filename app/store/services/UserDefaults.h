#pragma once

#include <QSettings>
#include <QString>

/// The user's stored choices: organisation "Lumora", application "Pindle".
namespace lumora::userdefaults {

[[nodiscard]] inline QSettings open() {
  return QSettings(QStringLiteral("Lumora"), QStringLiteral("Pindle"));
}

[[nodiscard]] inline QString key(const char *name) { return QString::fromLatin1(name); }

} // namespace lumora::userdefaults
