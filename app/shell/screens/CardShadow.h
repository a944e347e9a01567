#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>

/// The soft drop shadow under the floating cards (the scanning card, the undo toast): a
/// blurred copy of the card's rounded rectangle, offset and tinted, rendered once per size
/// and cached. The shadow reaches `blurRadius` beyond the card on every side plus the offset,
/// so the widget that paints it keeps that much room around the card. GUI thread.
namespace lumora::CardShadow {

struct Spec {
  qreal cornerRadius;
  /// The blur radius: about two standard deviations of the Gaussian it stands for.
  qreal blurRadius;
  QColor color;
  QPointF offset;
};

/// Paints the shadow of a card occupying `card`.
void paint(QPainter &painter, const QRectF &card, const Spec &spec);

} // namespace lumora::CardShadow
