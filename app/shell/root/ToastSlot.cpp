#include "app/shell/root/ToastSlot.h"

#include "app/shell/ScreenFactory.h"
#include "app/shell/motion/Motion.h"
#include "app/shell/root/EntranceEffect.h"
#include "app/shell/root/ExitSnapshot.h"
#include "app/store/AppStore.h"
#include "platform/gui/ReduceMotion.h"

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
  }
}

void ToastSlot::show() {
  m_view = ScreenFactory::placeholder(QStringLiteral("UndoToastView"), m_host);
  layout();
  m_view->show();
  if (platform::reduceMotion()) {
    EntranceEffect::start(m_view, motion::fast());
  } else {
    EntranceEffect::start(m_view, motion::bouncy(), QPointF(0, 12));
  }
}

void ToastSlot::hide() {
  if (!m_view) {
    return;
  }
  const QPointF fall = platform::reduceMotion() ? QPointF() : QPointF(0, 6);
  ExitSnapshot::replace(m_view, motion::fast(), fall);
  m_view = nullptr;
}

void ToastSlot::layout() {
  if (!m_view) {
    return;
  }
  const int available = std::max(0, m_host->width() - 2 * kSideMargin);
  QSize hint = m_view->sizeHint();
  if (!hint.isValid()) {
    hint = QSize(360, 52);
  }
  const int width = std::min(hint.width(), available);
  const int height = m_view->hasHeightForWidth() ? m_view->heightForWidth(width) : hint.height();
  m_view->setGeometry((m_host->width() - width) / 2, m_host->height() - kBottomMargin - height,
                      width, height);
  m_view->raise();
}

} // namespace lumora
