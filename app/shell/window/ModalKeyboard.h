#pragma once

class QGuiApplication;
class QWindow;

/// Keeps the keyboard with an open modal window (a sheet, an alert, a file dialog). A click on
/// the window behind it makes the window manager focus that window, which the modal blocks:
/// every key then went to a window that ignores it. When the focus lands on a blocked window,
/// the modal that blocks it is raised and activated again on the next turn of the event loop
/// (after the window manager has finished with the click). GUI thread.
namespace lumora::modalkeyboard {

/// Starts watching the focus of `app`'s windows (no change when already watching).
void install(QGuiApplication &app);

/// The modal window that blocks `window` from input, or null when none does: an
/// application-modal window blocks every other window, a window-modal one the windows it is
/// transient for.
[[nodiscard]] QWindow *blockerOf(const QWindow *window);

} // namespace lumora::modalkeyboard
