#include "platform/gui/SystemColorScheme.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusVariant>

namespace platform {
namespace {

constexpr char kService[] = "org.freedesktop.portal.Desktop";
constexpr char kPath[] = "/org/freedesktop/portal/desktop";
constexpr char kInterface[] = "org.freedesktop.portal.Settings";
constexpr char kNamespace[] = "org.freedesktop.appearance";
constexpr char kKey[] = "color-scheme";

// The portal wraps the value in one or two variants depending on its version.
uint unwrap(QVariant value) {
  while (value.canConvert<QDBusVariant>() && value.userType() == qMetaTypeId<QDBusVariant>()) {
    value = value.value<QDBusVariant>().variant();
  }
  return value.toUInt();
}

} // namespace

SystemColorScheme::SystemColorScheme(QObject *parent) : QObject(parent) {}

bool SystemColorScheme::connectToPortal() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    return false;
  }
  // Qt D-Bus connects remote signals by signature only (no function-pointer form).
  bus.connect(QLatin1String(kService), QLatin1String(kPath), QLatin1String(kInterface),
              QStringLiteral("SettingChanged"), this,
              SLOT(onSettingChanged(QString, QString, QDBusVariant)));
  QDBusInterface portal(QLatin1String(kService), QLatin1String(kPath), QLatin1String(kInterface),
                        bus);
  portal.setTimeout(500);
  const QDBusReply<QDBusVariant> reply =
      portal.call(QStringLiteral("Read"), QLatin1String(kNamespace), QLatin1String(kKey));
  if (!reply.isValid()) {
    return false;
  }
  setValue(unwrap(reply.value().variant()));
  return true;
}

void SystemColorScheme::setValue(uint value) {
  if (m_value == value) {
    return;
  }
  m_value = value;
  emit changed();
}

void SystemColorScheme::onSettingChanged(const QString &nameSpace, const QString &key,
                                         const QDBusVariant &value) {
  if (nameSpace == QLatin1String(kNamespace) && key == QLatin1String(kKey)) {
    setValue(unwrap(value.variant()));
  }
}

} // namespace platform
