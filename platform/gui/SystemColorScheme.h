#pragma once

#include <QDBusVariant>
#include <QObject>

namespace platform {

/// The desktop's preferred colour scheme, from the XDG desktop portal's setting
/// "org.freedesktop.appearance" / "color-scheme" over the session D-Bus, followed live
/// through the portal's SettingChanged signal. The portal's values: 1 prefers dark,
/// 2 prefers light, 0 has no preference (light, the desktop default). Without a portal the
/// answer stays light. GUI thread only.
class SystemColorScheme : public QObject {
  Q_OBJECT

public:
  explicit SystemColorScheme(QObject *parent = nullptr);

  /// Subscribes to the portal's changes and asks it once, without waiting (the answer
  /// arrives as `changed`); false when there is no session bus.
  bool connectToPortal();

  [[nodiscard]] bool prefersDark() const { return m_value == 1; }
  /// The raw portal value last seen.
  [[nodiscard]] uint value() const { return m_value; }
  /// Takes a new portal value (what the portal's signal delivers; tests call it directly).
  void setValue(uint value);

signals:
  void changed();

private slots:
  void onSettingChanged(const QString &nameSpace, const QString &key, const QDBusVariant &value);

private:
  uint m_value = 0;
};

} // namespace platform
