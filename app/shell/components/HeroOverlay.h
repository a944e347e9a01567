#pragma once

#include "app/shell/motion/MotionAnimation.h"

#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <vector>

namespace lumora {

/// Draws hero flights over its parent (the root view): each flight moves a snapshot from
/// one rectangle to another on the 0.42 / 0.92 spring (the 0.14 s ease-out under reduced
/// motion) while cross-fading from the outgoing to the incoming picture. Transparent to the
/// mouse; hidden whenever no flight runs. Made by `HeroNamespace`.
class HeroOverlay : public QWidget {
  Q_OBJECT

public:
  struct Flight {
    QPixmap from;
    QRect fromRect;
    QPixmap to;
    QRect toRect;
    /// The real destination, hidden under the overlay during the flight.
    QPointer<QWidget> destination;
  };

  explicit HeroOverlay(QWidget *parent);

  void fly(Flight flight);
  [[nodiscard]] bool isFlying() const { return !m_flights.empty(); }
  /// 0 at the start of the flights, 1 at their end.
  [[nodiscard]] qreal progress() const { return m_progress; }
  /// Pins the flights at `progress` without animating (screenshots, benchmarks).
  void setProgress(qreal progress);
  /// The rectangle a flight occupies at `progress`.
  [[nodiscard]] static QRectF rectAt(const Flight &flight, qreal progress);

protected:
  void paintEvent(QPaintEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void land();
  void moveTo(qreal progress);
  void setDestinationsHidden(bool hidden);

  std::vector<Flight> m_flights;
  MotionAnimation m_animation;
  qreal m_progress = 0;
};

} // namespace lumora
