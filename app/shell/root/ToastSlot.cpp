#include "app/shell/root/ToastSlot.h"

#include "app/shell/components/LeavingPicture.h"
#include "app/shell/motion/Motion.h"
#include "app/shell/screens/SymbolButton.h"
#include "app/shell/screens/UndoToastView.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/shell/transition/EntranceEffect.h"
#include "app/store/AppStore.h"
#include "platform/gui/ReduceMotion.h"

#include <QApplication>
#include <QWidget>
#include <algorithm>

namespace lumora {

ToastSlot::ToastSlot(AppStore &store, QWidget *host) : QObject(host), m_store(store), m_host(host) {
  connect(&m_store, &AppStore::undoToastChanged, this, &ToastSlot::follow);
  if (m_store.undoToast()) {
    show();
  }
}

void ToastSlot::follow() {
  if (!m_store.undoToast()) {
    hide();
  } else if (!m_view) {
    show();
  } else {
    m_view->setToast(*m_store.undoToast());
    layout();
  }
}

void ToastSlot::show() {
  m_view = new UndoToastView(m_store, *m_store.undoToast(), m_host);
  layout();
  m_view->show();
  placeInTabOrder();
  if (platform::reduceMotion()) {
    EntranceEffect::start(m_view, motion::fast());
  } else {
    EntranceEffect::start(m_view, motion::bouncy(), QPointF(0, 12));
  }
}

// The toast lives only a few seconds: its buttons come next after the control that has the
// keys, one Tab away, not after every other control of the window.
void ToastSlot::placeInTabOrder() {
  QWidget *current = QApplication::focusWidget();
  if (current == nullptr || current->window() != m_host->window() ||
      m_view->isAncestorOf(current)) {
    return;
  }
  QWidget *previous = current;
  for (QWidget *button : {static_cast<QWidget *>(m_view->undoButton()),
                          static_cast<QWidget *>(m_view->closeButton())}) {
    if (button != nullptr) {
      QWidget::setTabOrder(previous, button);
      previous = button;
    }
  }
}

void ToastSlot::hide() {
  if (!m_view) {
    return;
  }
  const QPointF fall = platform::reduceMotion() ? QPointF() : QPointF(0, 6);
  LeavingPicture::replace(m_view, motion::fast(), fall);
  m_view = nullptr;
}

void ToastSlot::layout() {
  if (!m_view) {
    return;
  }
  // The card, not its shadow, keeps 20 px from the sides and 18 px from the bottom.
  const QSize size = m_view->sizeFor(std::max(0, m_host->width() - 2 * kSideMargin));
  const QMargins shadow = UndoToastView::shadowMargins();
  const int cardWidth = size.width() - shadow.left() - shadow.right();
  const int cardHeight = size.height() - shadow.top() - shadow.bottom();
  m_view->setGeometry((m_host->width() - cardWidth) / 2 - shadow.left(),
                      m_host->height() - kBottomMargin - cardHeight - shadow.top(), size.width(),
                      size.height());
  m_view->raise();
}

} // namespace lumora
