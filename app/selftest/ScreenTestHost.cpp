#include "app/selftest/ScreenTestHost.h"

#include "app/shell/components/HeroNamespace.h"
#include "app/shell/components/LeavingPicture.h"
#include "app/shell/motion/Motion.h"
#include "app/shell/root/ToastSlot.h"
#include "app/shell/transition/EntranceEffect.h"
#include "app/store/AppStore.h"
#include "platform/gui/ReduceMotion.h"

namespace lumora {

ScreenTestHost::ScreenTestHost(AppStore &store, const ScreenFactory &screens, Kind kind,
                               QWidget *parent)
    : QWidget(parent), m_store(store), m_screens(screens), m_kind(kind),
      m_hero(new HeroNamespace(this)) {
  connect(&m_store, &AppStore::detailGroupIDChanged, this, &ScreenTestHost::showScreen);
  connect(&m_store, &AppStore::groupsChanged, this, &ScreenTestHost::showScreen);
  showScreen();
  if (m_kind == Kind::motion) {
    m_toast = new ToastSlot(m_store, this);
  }
}

bool ScreenTestHost::detailSlides() const {
  return m_kind == Kind::motion && (platform::reduceMotion() || m_store.isSelecting());
}

void ScreenTestHost::showScreen() {
  std::optional<std::string> detail = m_store.detailGroupID();
  if (detail && !m_store.group(*detail)) {
    detail.reset();
  }
  if (m_screen && detail == m_shownDetail) {
    return;
  }
  const bool animated = m_screen && isVisible();
  const bool reduced = m_kind == Kind::motion && platform::reduceMotion();
  const MotionCurve curve = reduced ? motion::fast() : motion::smooth();
  const QPointF trailing(detailSlides() ? width() : 0, 0);
  if (animated) {
    // A key handler of the old screen may be what changed the store: the snapshot deletes
    // the old screen later.
    LeavingPicture::replace(m_screen, curve, m_shownDetail ? trailing : QPointF());
  } else if (m_screen) {
    m_screen->hide();
    m_screen->deleteLater();
  }
  m_shownDetail = detail;
  m_screen = detail ? m_screens.makeGroupDetail(m_store, *detail, m_hero, this)
                    : m_screens.makeResultsView(m_store, m_hero, this);
  m_screen->setGeometry(rect());
  m_screen->show();
  m_screen->lower();
  if (animated) {
    EntranceEffect::start(m_screen, curve, detail ? trailing : QPointF());
  }
  if (m_toast) {
    m_toast->layout();
  }
}

void ScreenTestHost::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  if (m_screen) {
    m_screen->setGeometry(rect());
  }
  if (m_toast) {
    m_toast->layout();
  }
}

} // namespace lumora
