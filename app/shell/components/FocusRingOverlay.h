#pragma once

#include <QWidget>

namespace lumora {

/// The keyboard-focus decoration of a grid card or detail tile: an accent ring (2 px, inside
/// the item), a 1.2 px separator ring in the window colour just inside it, and four accent
/// corner marks (2.5 px, centred on the item's edge, so half of them lies outside).
///
/// Place it over the focused item with `placeOver(itemRect)` (parent coordinates): the
/// widget reaches `kOutset` beyond the item so the corner marks are not clipped. It takes no
/// mouse input (clicks reach the item) and is hidden from accessibility tools.
class FocusRingOverlay : public QWidget {
  Q_OBJECT

public:
  /// How far the widget extends beyond the item on each side.
  static constexpr int kOutset = 2;

  explicit FocusRingOverlay(qreal cornerRadius, QWidget *parent = nullptr);

  void setCornerRadius(qreal radius);
  [[nodiscard]] qreal cornerRadius() const { return m_cornerRadius; }
  /// Covers `itemRect` (in the parent's coordinates), raised above its siblings.
  void placeOver(const QRect &itemRect);
  /// The decorated item's rectangle in this widget's coordinates.
  [[nodiscard]] QRectF itemRect() const;

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  qreal m_cornerRadius;
};

} // namespace lumora
