#include "app/selftest/ScreenTestHost.h"

#include "app/shell/components/HeroNamespace.h"
#include "app/shell/motion/Motion.h"
#include "app/shell/motion/MotionAnimation.h"
#include "app/store/AppStore.h"

#include <QPainter>

namespace lumora {
namespace {

// The old screen's picture at the animation's opacity.
class FadingPicture : public QWidget {
public:
  explicit FadingPicture(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
  }
  void setPicture(QPixmap picture) { m_picture = std::move(picture); }
  void setOpacity(double opacity) {
    m_opacity = std::clamp(opacity, 0.0, 1.0);
    setVisible(m_opacity > 0.0);
    update();
  }

protected:
  void paintEvent(QPaintEvent *) override {
    QPainter painter(this);
    painter.setOpacity(m_opacity);
    painter.drawPixmap(0, 0, m_picture);
  }

private:
  QPixmap m_picture;
  double m_opacity = 0;
};

} // namespace

ScreenTestHost::ScreenTestHost(AppStore &store, const ScreenFactory &screens, QWidget *parent)
    : QWidget(parent), m_store(store), m_screens(screens), m_hero(new HeroNamespace(this)),
      m_fadeOut(new FadingPicture(this)), m_fade(new MotionAnimation(motion::smooth(), this)) {
  connect(m_fade, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
    static_cast<FadingPicture *>(m_fadeOut)->setOpacity(value.toDouble());
  });
  connect(&m_store, &AppStore::detailGroupIDChanged, this, &ScreenTestHost::showScreen);
  connect(&m_store, &AppStore::groupsChanged, this, &ScreenTestHost::showScreen);
  showScreen();
}

void ScreenTestHost::showScreen() {
  std::optional<std::string> detail = m_store.detailGroupID();
  if (detail && !m_store.group(*detail)) {
    detail.reset();
  }
  if (m_screen && detail == m_shownDetail) {
    return;
  }
  auto *picture = static_cast<FadingPicture *>(m_fadeOut);
  if (m_screen && isVisible()) {
    picture->setPicture(m_screen->grab());
    m_fade->jumpTo(1.0);
    picture->setOpacity(1.0);
    m_fade->animateTo(0.0);
  }
  if (m_screen) {
    // A key handler of the old screen may be what changed the store: delete it later.
    m_screen->hide();
    m_screen->deleteLater();
  }
  m_shownDetail = detail;
  m_screen = detail ? m_screens.makeGroupDetail(m_store, *detail, m_hero, this)
                    : m_screens.makeResultsView(m_store, m_hero, this);
  m_screen->setGeometry(rect());
  m_screen->show();
  m_fadeOut->setGeometry(rect());
  m_fadeOut->raise();
}

void ScreenTestHost::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  if (m_screen) {
    m_screen->setGeometry(rect());
  }
  m_fadeOut->setGeometry(rect());
}

} // namespace lumora
