#pragma once

#include <QObject>
#include <optional>

namespace platform {

/// Whether the user asked the desktop to reduce motion. Views read it themselves each time
/// they start an animation and listen to `ReduceMotionNotifier::changed` to follow a change
/// while they are shown. The source, in order: the test override when one is set, else
/// GNOME's `org.gnome.desktop.interface enable-animations` (reduce = animations disabled)
/// where that schema is installed, else false. GUI thread only.
[[nodiscard]] bool reduceMotion();

/// Pins the answer of `reduceMotion()` (tests and developer tools), or clears the pin with
/// none; emits `changed` when the answer changes.
void setReduceMotionOverride(std::optional<bool> reduce);
/// The pinned answer, none when `reduceMotion()` follows the desktop.
[[nodiscard]] std::optional<bool> reduceMotionOverride();

/// Announces changes of `reduceMotion()`, from the override or from the desktop setting.
class ReduceMotionNotifier : public QObject {
  Q_OBJECT

public:
  static ReduceMotionNotifier &instance();

signals:
  void changed(bool reduce);

private:
  ReduceMotionNotifier();
};

} // namespace platform
