#include "app/detail/DetailKeyView.h"

#include "platform/gui/KeyCodes.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QShowEvent>
#include <QTimer>

namespace lumora {

DetailKeyView::DetailKeyView(QWidget *parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAccessibleName(QString());
}

void DetailKeyView::requestFocusSoon() {
  QTimer::singleShot(0, this, [guard = QPointer<DetailKeyView>(this)] {
    if (QGuiApplication::applicationState() != Qt::ApplicationActive || !guard ||
        !guard->window() || !guard->window()->isActiveWindow()) {
      return;
    }
    guard->setFocus(Qt::OtherFocusReason);
  });
}

void DetailKeyView::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) {
    requestFocusSoon();
  }
}

void DetailKeyView::keyPressEvent(QKeyEvent *event) {
  const platform::keycodes::KeyCode key = platform::keycodes::translate(*event);
  if (m_handler && key.code != platform::keycodes::kUnknown && m_handler(key.code)) {
    event->accept();
    return;
  }
  event->ignore();
}

} // namespace lumora
