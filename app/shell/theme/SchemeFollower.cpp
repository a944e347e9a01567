#include "app/shell/theme/SchemeFollower.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace lumora {

void SchemeFollower::ensureInstalled() {
  static QPointer<SchemeFollower> installed;
  if (installed || qApp == nullptr) {
    return;
  }
  installed = new SchemeFollower(qApp);
  qApp->installEventFilter(installed);
}

void SchemeFollower::refresh(QWidget *root) {
  QEvent change(QEvent::PaletteChange);
  QCoreApplication::sendEvent(root, &change);
  for (QWidget *child : root->findChildren<QWidget *>()) {
    QCoreApplication::sendEvent(child, &change);
  }
}

bool SchemeFollower::eventFilter(QObject *watched, QEvent *event) {
  const QEvent::Type type = event->type();
  if ((type == QEvent::ParentChange || type == QEvent::Show) && watched->isWidgetType()) {
    auto *widget = static_cast<QWidget *>(watched);
    // A shown child lies in a window that was refreshed when it was shown. A widget being
    // constructed hears of its first parent too: it has no children yet, so that costs one
    // event.
    const bool attached = type == QEvent::ParentChange && widget->parentWidget() != nullptr;
    if (attached || (type == QEvent::Show && widget->isWindow())) {
      refresh(widget);
    }
  }
  return QObject::eventFilter(watched, event);
}

} // namespace lumora
