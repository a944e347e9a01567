#pragma once

#include "app/shell/window/Scheduler.h"

#include <QSizeF>
#include <QStringList>
#include <functional>
#include <memory>

class QWidget;

namespace lumora {

class AppearanceController;

/// The QA hooks applied when launching completes, on this timeline (from then on): at once
/// the "bundle=" line and, with a valid "QaWindowSize", the "will enforce window size" line;
/// from 0.3 s every 0.2 s forty tries that hold the first visible window at that size
/// (logging tries 1, 10, 20, 30 and 40); at 0.8 s every window takes "--force-appearance";
/// at 1.0 s the first visible window takes "--window-size" once. Everything logs under
/// "qa". The main window's size is its client size; "zoomed" is maximised.
class QAOverrides {
public:
  struct Environment {
    QStringList arguments;
    AppearanceController *appearance = nullptr;
    Scheduler schedule;
    /// The application's window list (default: `AppearanceController::windows()`).
    std::function<QList<QWidget *>()> windows;
    /// Writes one "qa" line (default: the diagnostics log).
    std::function<void(const QString &)> log;
  };

  static constexpr int kTries = 40;
  static constexpr int kFirstTryMs = 300;
  static constexpr int kTryIntervalMs = 200;
  static constexpr int kForceAppearanceMs = 800;
  static constexpr int kWindowSizeMs = 1000;

  /// Runs the steps above. The environment is copied; nothing else is kept.
  static void apply(const Environment &environment);

  /// One size try: the first visible window, unless already within 1 px of `size`, is
  /// un-maximised and resized. Returns whether it changed anything.
  static bool enforceSize(const QList<QWidget *> &windows, const QSizeF &size);
  /// "WxH vis=true, …" for every window, visible or not.
  [[nodiscard]] static QString describeWindows(const QList<QWidget *> &windows);
  /// The first line: bundle, raw "QaWindowSize" and the stored keys (cut to 200 characters).
  [[nodiscard]] static QString bundleLine();

private:
  static void scheduleTry(const std::shared_ptr<Environment> &env, const QSizeF &size,
                          const std::shared_ptr<int> &attempts, int delayMs);
  static void scheduleForcedAppearance(const std::shared_ptr<Environment> &env);
  static void scheduleWindowSize(const std::shared_ptr<Environment> &env);
};

} // namespace lumora
