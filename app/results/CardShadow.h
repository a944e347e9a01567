#pragma once

#include <QRectF>

class QPainter;

/// The soft black shadow under a rounded card, drawn from a nine-patch pixmap made once per
/// blur radius and shared by every card, so a frame costs nine pixmap draws. GUI thread.
namespace lumora::CardShadow {

/// Paints the shadow of a rounded rectangle `card` (corner radius `cornerRadius`): black at
/// `opacity`, blurred by `radius` (a Gaussian of half that deviation) and moved down by
/// `offsetY`.
void paint(QPainter &painter, const QRectF &card, qreal cornerRadius, qreal opacity, qreal radius,
           qreal offsetY);

/// How far the shadow reaches beyond the moved card at `radius`.
[[nodiscard]] int reach(qreal radius);

} // namespace lumora::CardShadow
