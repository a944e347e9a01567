#include "app/shell/components/KeyCatcherView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QShowEvent>
#include <QTimer>

namespace lumora {

KeyCatcherView::KeyCatcherView(QWidget *parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAccessibleName(QString());
}

// No retry: a window that is not active then keeps its focus where it is. (While the
// application is inactive none of its windows is the active one.)
void KeyCatcherView::requestFocusSoon() {
  QTimer::singleShot(0, this, [guard = QPointer<KeyCatcherView>(this)] {
    if (!guard || !guard->isVisible() || !guard->window()->isActiveWindow()) {
      return;
    }
    guard->setFocus(Qt::OtherFocusReason);
  });
}

bool KeyCatcherView::holdsKeysFor(const QWidget *item) {
  const auto *catcher = qobject_cast<const KeyCatcherView *>(QApplication::focusWidget());
  const QWidget *screen = catcher != nullptr ? catcher->parentWidget() : nullptr;
  return screen != nullptr && item != nullptr && screen->isAncestorOf(item);
}

// Shown in a window: one turn later, after the window has placed it, it asks for the focus.
void KeyCatcherView::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) {
    requestFocusSoon();
  }
}

void KeyCatcherView::keyPressEvent(QKeyEvent *event) {
  const platform::keycodes::KeyCode key = platform::keycodes::translate(*event);
  if (m_handler && key.code != platform::keycodes::kUnknown && m_handler(key)) {
    event->accept();
    return;
  }
  event->ignore();
}

} // namespace lumora
