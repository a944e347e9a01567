#include "platform/gui/SystemColorScheme.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
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
  // Asked without waiting: a portal that is still starting must not hold up the window.
  QDBusMessage read =
      QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                     QLatin1String(kInterface), QStringLiteral("Read"));
  read << QLatin1String(kNamespace) << QLatin1String(kKey);
  auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(read), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
    const QDBusPendingReply<QDBusVariant> reply = *call;
    if (!reply.isError()) {
      setValue(unwrap(reply.value().variant()));
    }
    call->deleteLater();
  });
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
