#pragma once

#include <QKeyEvent>

namespace lumora::buttonkeys {

/// True for the arrow keys. Qt's own buttons move the focus to the neighbouring control
/// with them; ours leave them to their parents instead, so a button that holds the focus
/// never sends the arrows' focus frame wandering across the window, and the arrows drive the
/// screen's grid again once the focus is back in it.
[[nodiscard]] inline bool isArrow(const QKeyEvent &event) {
  switch (event.key()) {
  case Qt::Key_Left:
  case Qt::Key_Right:
  case Qt::Key_Up:
  case Qt::Key_Down: return true;
  default: return false;
  }
}

} // namespace lumora::buttonkeys
