#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

namespace lumora {

/// Runs `task` on the GUI thread `delayMs` milliseconds from now. The launch and QA steps
/// take one, so tests can run their timeline without waiting.
using Scheduler = std::function<void(int delayMs, std::function<void()> task)>;

/// The real scheduler: single-shot timers bound to `context` (nothing runs once it is gone).
[[nodiscard]] inline Scheduler timerScheduler(QObject *context) {
  return [context](int delayMs, std::function<void()> task) {
    QTimer::singleShot(delayMs, context, std::move(task));
  };
}

} // namespace lumora
