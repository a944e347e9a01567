#pragma once

#include <QWidget>
#include <functional>

namespace lumora {

/// The results grid's key catcher: a zero-size focusable child that hands every key press
/// to its handler and lets the keys the handler leaves go on to its parent. One event-loop
/// turn after it is shown it takes the keyboard focus, but only when its window is the
/// active one (a background window keeps its focus where it is). GUI thread.
class GridKeyView : public QWidget {
  Q_OBJECT

public:
  /// Returns true when the key was used; false lets it travel up to the parent.
  using KeyHandler = std::function<bool(QKeyEvent *event)>;

  explicit GridKeyView(QWidget *parent = nullptr);

  void setOnKey(KeyHandler handler) { m_onKey = std::move(handler); }

protected:
  void keyPressEvent(QKeyEvent *event) override;
  void showEvent(QShowEvent *event) override;

private:
  KeyHandler m_onKey;
};

} // namespace lumora
