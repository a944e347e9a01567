#pragma once

#include "app/store/AppStore.h"

#include <QRect>
#include <QString>
#include <chrono>
#include <memory>
#include <optional>

class QWidget;

namespace lumora {

/// What both self-tests share: waits that let the event loop run, a private store that
/// scans the test folder, and invisible host windows.
class SelfTestHarness {
public:
  /// Runs the event loop for `ms` milliseconds (timers, layouts, animations, posted events).
  /// Once the application is quitting (a quit signal arrived) it throws `SelfTestFailure`
  /// with `interruptedText()` instead: the run ends and its report says it was interrupted.
  static void wait(int ms);
  /// "自测被中断（SIGTERM）", naming the quit signal that arrived ("应用退出" when none did).
  [[nodiscard]] static QString interruptedText();
  /// Runs the event loop in 4 ms slices until `ms` milliseconds have passed.
  static void spin(int ms);

  /// A store over a private engine (the default analysis cache, or `cacheFile`) that does
  /// not remember the folders it scans as the user's folder.
  [[nodiscard]] static std::unique_ptr<AppStore> makeStore(std::optional<QString> cacheFile = {});
  /// Starts a scan of `folder` on `store` and polls its phase every `pollMs` while it
  /// scans, at most until `limit` has passed; returns the phase then.
  static AppStore::Phase scanAndWait(AppStore &store, const QString &folder,
                                     std::chrono::milliseconds limit, int pollMs);
  /// "idle", "scanning", "ready" or "failed(<kind>)".
  [[nodiscard]] static QString phaseText(const AppStore::Phase &phase);

  /// Makes `content` (sized to `frame`) the content of a top-level window at `frame`'s
  /// position that Qt treats as shown (layouts, painting, timers, synthetic events) but that
  /// is never mapped on the display nor activated. The window lives until the process ends
  /// unless the caller deletes it.
  static QWidget *hostWindow(QWidget *content, const QRect &frame);
  /// Hides every top-level window the application has.
  static void hideAllWindows();
};

} // namespace lumora
