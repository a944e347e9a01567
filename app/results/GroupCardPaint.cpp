// The group card's painting and the placing of its children along the card's transform.
#include "app/results/GroupCard.h"

#include "app/results/CleanupButton.h"
#include "app/results/GroupCardFace.h"
#include "app/results/GroupCardHero.h"
#include "app/shell/components/CardShadow.h"
#include "app/shell/components/FocusRingOverlay.h"

#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <QShowEvent>

namespace lumora {

void GroupCard::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  m_face->setWidth(cardRect().width());
  placeChildren();
}

void GroupCard::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) {
    return;
  }
  m_face->setActive(true);
  m_hero->setActive(true);
  if (m_bound) {
    scheduleEntrance(false);
  }
}

void GroupCard::hideEvent(QHideEvent *event) {
  QWidget::hideEvent(event);
  if (event->spontaneous()) {
    return;
  }
  m_face->setActive(false);
  m_hero->setActive(false);
  // A card scrolled away or cleaned up under the pointer leaves no hand cursor behind.
  m_pressAt.reset();
  setPressed(false);
  resetPointer();
}

// A rectangle of the card (card coordinates) where the card's scale about its centre and
// its lift put it, in widget coordinates.
QRect GroupCard::mapped(const QRect &inCard, const GroupCardLook &look) const {
  const QRectF card = cardRect();
  const QPointF centre = card.center();
  const QRectF rect = QRectF(inCard).translated(card.topLeft());
  const QPointF topLeft =
      centre + (rect.topLeft() - centre) * look.scale + QPointF(0, look.offsetY);
  return QRectF(topLeft, rect.size() * look.scale).toRect();
}

void GroupCard::placeChildren() {
  const GroupCardLook look = currentLook();
  const GroupCardLayout &layout = m_face->layout();
  m_hero->setNominalSize(layout.hero.size());
  m_hero->setGeometry(mapped(layout.hero, look));
  m_button->setGeometry(mapped(layout.button, look));
  if (m_focusRing->isVisible()) {
    m_focusRing->placeOver(mapped(layout.card, look));
  }
}

void GroupCard::paintEvent(QPaintEvent *) {
  if (!m_bound) {
    return;
  }
  const GroupCardLook look = currentLook();
  QPainter painter(this);
  painter.setOpacity(std::clamp(look.opacity, 0.0, 1.0));
  if (painter.opacity() <= 0) {
    return;
  }
  const QRect shown = mapped(m_face->layout().card, look);
  cardshadow::paintTiled(painter, shown, GroupCardLayout::kCornerRadius * look.scale,
                         look.shadowOpacity, look.shadowRadius, look.shadowOffsetY);
  const QPixmap &body = m_face->pixmap();
  if (shown.size() == body.deviceIndependentSize().toSize()) {
    painter.drawPixmap(shown.topLeft(), body);
  } else {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRectF(shown), body, QRectF(body.rect()));
  }
  paintHoverBorder(painter, shown, look);
}

// The border darkens while hovering: the prepared ring over the resting border baked into
// the body, just strong enough to reach the look's opacity.
void GroupCard::paintHoverBorder(QPainter &painter, const QRect &shown, const GroupCardLook &look) {
  const double rest = GroupCardFace::kRestingBorder;
  const double extra = (look.borderOpacity - rest) / (1 - rest);
  if (extra <= 0.002) {
    return;
  }
  const QPixmap &ring = m_face->ring();
  painter.setOpacity(painter.opacity() * std::min(extra, 1.0));
  painter.drawPixmap(QRectF(shown), ring, QRectF(ring.rect()));
}

} // namespace lumora
