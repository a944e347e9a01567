#pragma once

#include <QString>
#include <functional>

namespace lumora::startproblem {

/// Shows a message box: its title and its text.
using Dialog = std::function<void(const QString &title, const QString &text)>;

/// Whether the platform the application runs on shows windows to someone (not the offscreen
/// or minimal platforms of tests and tools).
[[nodiscard]] bool hasDisplay(const QString &platformName);

/// Tells why the application does not start: on standard error always, and, since a copy
/// started from the desktop has no terminal, in `dialog` when there is a display.
/// `alreadyRunning` is true when another copy holds the lock, false when something planted
/// in the lock's place keeps every copy from running; `detail` names the files and the error.
void report(bool alreadyRunning, const QString &detail, bool display, const Dialog &dialog);

/// `report` with a modal message box on the application's platform.
void reportOnScreen(bool alreadyRunning, const QString &detail);

} // namespace lumora::startproblem
