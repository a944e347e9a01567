#include "app/results/GridKeyView.h"

#include <QKeyEvent>
#include <QShowEvent>
#include <QTimer>

namespace lumora {

GridKeyView::GridKeyView(QWidget *parent) : QWidget(parent) {
  setFocusPolicy(Qt::ClickFocus);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFixedSize(0, 0);
}

void GridKeyView::keyPressEvent(QKeyEvent *event) {
  if (m_onKey && m_onKey(event)) {
    event->accept();
    return;
  }
  event->ignore();
}

// Shown in a window: one turn later, after the window has placed it, it asks for the focus
// once. No retry: a window that is not active then keeps its focus where it is.
void GridKeyView::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) {
    return;
  }
  // The timer's context drops the call when the view is gone by then.
  QTimer::singleShot(0, this, [this] {
    if (isVisible() && window()->isActiveWindow()) {
      setFocus(Qt::OtherFocusReason);
    }
  });
}

} // namespace lumora
