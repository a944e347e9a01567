#pragma once

#include <QWidget>
#include <functional>

namespace lumora {

/// The keyboard catcher behind the group detail: it takes the focus one event-loop turn
/// after it is shown (only when the application is active and its window is the active
/// window), translates each key press into the key tables' code and hands it to the
/// screen's handler. A key the handler does not take is ignored, so the parent gets it.
class DetailKeyView : public QWidget {
  Q_OBJECT

public:
  /// Takes a key code of the tables; true when the key was handled.
  using KeyHandler = std::function<bool(int code)>;

  explicit DetailKeyView(QWidget *parent = nullptr);

  void setKeyHandler(KeyHandler handler) { m_handler = std::move(handler); }
  /// Takes the focus on the next turn of the event loop, under the conditions above.
  void requestFocusSoon();

protected:
  void keyPressEvent(QKeyEvent *event) override;
  void showEvent(QShowEvent *event) override;

private:
  KeyHandler m_handler;
};

} // namespace lumora
