#pragma once

#include "platform/gui/KeyCodes.h"

#include <QWidget>
#include <functional>

namespace lumora {

/// A screen's key catcher: a focusable child, invisible to the mouse, that translates each
/// key press into the key tables' code and hands it to the screen's handler; a key the
/// handler leaves (or the tables do not know) travels on to the parent. One event-loop turn
/// after it is shown it takes the keyboard focus, but only when its window is the active
/// one (never so while the application is inactive); otherwise it makes no attempt of its
/// own later. It is
/// a Tab stop: Tab, never handed to the handler, moves on to the window's other controls
/// and comes back here, where the handler has the keys again. GUI thread.
class KeyCatcherView : public QWidget {
  Q_OBJECT

public:
  /// Takes the translated key; true when the key was used.
  using KeyHandler = std::function<bool(const platform::keycodes::KeyCode &key)>;

  explicit KeyCatcherView(QWidget *parent = nullptr);

  void setKeyHandler(KeyHandler handler) { m_handler = std::move(handler); }
  /// Takes the focus on the next turn of the event loop, under the conditions above.
  void requestFocusSoon();
  /// Whether the next key goes to the catcher of the screen `item` lies in: the keyboard
  /// focus of the active window is on a catcher whose screen (its parent) holds `item`. A
  /// screen shows its keyboard marker (a card's or a tile's ring) only then, so no other
  /// control's ring shows beside it.
  [[nodiscard]] static bool holdsKeysFor(const QWidget *item);

protected:
  void keyPressEvent(QKeyEvent *event) override;
  void showEvent(QShowEvent *event) override;

private:
  KeyHandler m_handler;
};

} // namespace lumora
