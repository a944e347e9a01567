#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>

/// The soft drop shadows under rounded cards: a blurred copy of the card's rounded rectangle,
/// offset and tinted. GUI thread.
namespace lumora::cardshadow {

struct Spec {
  qreal cornerRadius;
  /// The blur radius: about two standard deviations of the Gaussian it stands for.
  qreal blurRadius;
  QColor color;
  QPointF offset;
};

/// Paints the shadow of a floating card (the scanning card, the undo toast) occupying `card`,
/// rendered whole once per size and cached. The shadow reaches `blurRadius` beyond the card
/// on every side plus the offset, so the widget that paints it keeps that much room around
/// the card.
void paint(QPainter &painter, const QRectF &card, const Spec &spec);

/// Paints the shadow of one of the many result cards, a rounded rectangle `card` (corner radius
/// `cornerRadius`): black at `opacity`, blurred by `radius` (a Gaussian of half that
/// deviation) and moved down by `offsetY`. Drawn from a nine-patch pixmap made once per blur
/// radius and shared by every card, so a frame costs four pixmap draws.
void paintTiled(QPainter &painter, const QRectF &card, qreal cornerRadius, qreal opacity,
                qreal radius, qreal offsetY);

/// How far the tiled shadow reaches beyond the moved card at `radius`.
[[nodiscard]] int reach(qreal radius);

} // namespace lumora::cardshadow
