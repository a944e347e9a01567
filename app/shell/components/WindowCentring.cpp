#include "app/shell/components/WindowCentring.h"

#include <QEvent>
#include <QWidget>

namespace lumora {

void WindowCentring::attach(QWidget *dialog) {
  if (dialog->parentWidget() == nullptr) {
    return;
  }
  new WindowCentring(dialog, dialog->parentWidget()->window());
}

WindowCentring::WindowCentring(QWidget *dialog, QWidget *window)
    : QObject(dialog), m_dialog(dialog), m_window(window) {
  dialog->installEventFilter(this);
  window->installEventFilter(this);
}

void WindowCentring::centre(QWidget *dialog, const QWidget *window) {
  const QRect frame = window->frameGeometry();
  const QSize size = dialog->frameGeometry().size();
  dialog->move(frame.x() + (frame.width() - size.width()) / 2,
               frame.y() + (frame.height() - size.height()) / 2);
}

bool WindowCentring::eventFilter(QObject *watched, QEvent *event) {
  const QEvent::Type type = event->type();
  const bool placed = watched == m_dialog ? type == QEvent::Show || type == QEvent::Resize
                                          : type == QEvent::Move || type == QEvent::Resize;
  // A closed dialog stays where it is until it is shown again.
  if (placed && m_window && (watched == m_dialog || m_dialog->isVisible())) {
    centre(m_dialog, m_window);
  }
  return QObject::eventFilter(watched, event);
}

} // namespace lumora
