#include "app/shell/components/FocusRingOverlay.h"

#include "app/shell/components/FocusCorners.h"
#include "app/shell/theme/Theme.h"

#include <QPainter>
#include <algorithm>

namespace lumora {
namespace {

void strokeInside(QPainter &p, const QRectF &rect, qreal radius, const QColor &color, qreal width) {
  const qreal half = width / 2;
  const QRectF inset = rect.adjusted(half, half, -half, -half);
  const qreal r = std::max(radius - half, 0.0);
  p.setPen(QPen(color, width));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(inset, r, r);
}

} // namespace

FocusRingOverlay::FocusRingOverlay(qreal cornerRadius, QWidget *parent)
    : QWidget(parent), m_cornerRadius(cornerRadius) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  setAccessibleName(QString());
}

void FocusRingOverlay::setCornerRadius(qreal radius) {
  if (qFuzzyCompare(m_cornerRadius, radius)) {
    return;
  }
  m_cornerRadius = radius;
  update();
}

void FocusRingOverlay::placeOver(const QRect &itemRect) {
  setGeometry(itemRect.adjusted(-kOutset, -kOutset, kOutset, kOutset));
  raise();
}

QRectF FocusRingOverlay::itemRect() const {
  return QRectF(rect()).adjusted(kOutset, kOutset, -kOutset, -kOutset);
}

void FocusRingOverlay::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const Theme &theme = Theme::of(this);
  const QRectF item = itemRect();
  strokeInside(p, item, m_cornerRadius, theme.accent, 2);
  strokeInside(p, item.adjusted(2, 2, -2, -2), std::max(m_cornerRadius - 2, 0.0),
               theme.windowBackground, 1.2);
  QPen corners(theme.accent, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin);
  corners.setMiterLimit(10);
  p.setPen(corners);
  p.drawPath(FocusCorners::path(item));
}

} // namespace lumora
