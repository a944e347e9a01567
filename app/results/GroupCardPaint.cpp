// The group card's painting and the placing of its children along the card's transform.
#include "app/results/GroupCard.h"

#include "app/results/CardShadow.h"
#include "app/results/CleanupButton.h"
#include "app/results/GroupCardFace.h"
#include "app/results/GroupCardHero.h"
#include "app/shell/components/FocusRingOverlay.h"
#include "app/shell/theme/Theme.h"

#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <QShowEvent>

namespace lumora {
namespace {

// `top` composited over `bottom`, opaque when `bottom` is.
QColor over(const QColor &top, const QColor &bottom) {
  const float alpha = top.alphaF();
  const auto mix = [alpha](float a, float b) { return a * alpha + b * (1 - alpha); };
  return QColor::fromRgbF(mix(top.redF(), bottom.redF()), mix(top.greenF(), bottom.greenF()),
                          mix(top.blueF(), bottom.blueF()), bottom.alphaF());
}

QColor blend(const QColor &from, const QColor &to, qreal progress) {
  const auto t = static_cast<float>(std::clamp(progress, 0.0, 1.0));
  const auto mix = [t](float a, float b) { return a + (b - a) * t; };
  return QColor::fromRgbF(mix(from.redF(), to.redF()), mix(from.greenF(), to.greenF()),
                          mix(from.blueF(), to.blueF()), mix(from.alphaF(), to.alphaF()));
}

} // namespace

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
  const QPointF topLeft = centre + (rect.topLeft() - centre) * look.scale + QPointF(0, look.offsetY);
  return QRectF(topLeft, rect.size() * look.scale).toRect();
}

void GroupCard::placeChildren() {
  const GroupCardLook look = currentLook();
  const GroupCardLayout &layout = m_face->layout();
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
  painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
  painter.setOpacity(std::clamp(look.opacity, 0.0, 1.0));
  if (painter.opacity() <= 0) {
    return;
  }
  const QRectF card = cardRect();
  const qreal radius = GroupCardLayout::kCornerRadius;
  const QRectF shown = mapped(m_face->layout().card, look);
  CardShadow::paint(painter, shown, radius * look.scale, look.shadowOpacity, look.shadowRadius,
                    look.shadowOffsetY);
  painter.translate(card.center() + QPointF(0, look.offsetY));
  painter.scale(look.scale, look.scale);
  painter.translate(-card.center() + card.topLeft());
  paintCard(painter, look);
}

// The card in card coordinates: its fill, the prepared lower part and its border. The hero
// and the button are children and paint themselves on top.
void GroupCard::paintCard(QPainter &painter, const GroupCardLook &look) {
  const Theme &theme = Theme::of(this);
  const QRectF bounds(QPointF(0, 0), QSizeF(cardRect().size()));
  const qreal radius = GroupCardLayout::kCornerRadius;
  // Opaque fills, so that the shadow never shows through the card.
  const QColor plain = over(theme.thinMaterial, theme.windowBackground);
  QColor accent = theme.accent;
  accent.setAlphaF(0.13f);
  QPainterPath shape;
  shape.addRoundedRect(bounds, radius, radius);
  painter.fillPath(shape, blend(plain, over(accent, plain), look.selectedFill));
  const QRect lower = m_face->rect();
  painter.drawPixmap(lower.topLeft(), m_face->pixmap());
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(theme.primaryAt(look.borderOpacity), 1));
  painter.drawRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
}

} // namespace lumora
