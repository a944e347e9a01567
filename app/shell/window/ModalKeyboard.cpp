#include "app/shell/window/ModalKeyboard.h"

#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWindow>

namespace lumora::modalkeyboard {
namespace {

bool isTransientFor(const QWindow *child, const QWindow *ancestor) {
  for (const QWindow *w = child->transientParent(); w != nullptr; w = w->transientParent()) {
    if (w == ancestor) {
      return true;
    }
  }
  return false;
}

void focusChanged(QWindow *focus) {
  QWindow *modal = blockerOf(focus);
  if (modal == nullptr) {
    return;
  }
  QTimer::singleShot(0, modal, [modal = QPointer<QWindow>(modal)] {
    // In the meantime the modal may have closed, or the focus moved on to the modal itself or
    // to a window it does not block.
    if (modal != nullptr && blockerOf(QGuiApplication::focusWindow()) == modal) {
      modal->raise();
      modal->requestActivate();
    }
  });
}

} // namespace

QWindow *blockerOf(const QWindow *window) {
  QWindow *modal = QGuiApplication::modalWindow();
  if (window == nullptr || modal == nullptr || modal == window || !modal->isVisible() ||
      isTransientFor(window, modal)) {
    return nullptr;
  }
  const bool blocks = modal->modality() == Qt::ApplicationModal || isTransientFor(modal, window);
  return blocks ? modal : nullptr;
}

void install(QGuiApplication &app) {
  if (app.property("pindleModalKeyboard").toBool()) {
    return;
  }
  app.setProperty("pindleModalKeyboard", true);
  QObject::connect(&app, &QGuiApplication::focusWindowChanged, &app, &focusChanged);
}

} // namespace lumora::modalkeyboard
