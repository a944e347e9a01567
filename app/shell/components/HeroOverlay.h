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
    /// Null while the destination's picture is not ready.
    QPixmap to;
    QRect toRect;
    /// The real destination, hidden under the overlay during the flight.
    QPointer<QWidget> destination;
    /// The progress at which `to` came: the cross-fade runs from there to the end.
    qreal toSince = 0;
  };

  explicit HeroOverlay(QWidget *parent);

  void fly(Flight flight);
  /// Photographs `destination` again for the flights landing on it (its picture arrived).
  void refreshDestination(QWidget *destination);
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
  /// The dirty rectangle of a flight at `progress`, with a pixel of slack for rounding.
  [[nodiscard]] static QRect paintedRect(const Flight &flight, qreal progress);
  /// How far the incoming picture covers the outgoing one at the current progress.
  [[nodiscard]] qreal fadeOf(const Flight &flight) const;
  void moveTo(qreal progress);
  void setDestinationsHidden(bool hidden);

  std::vector<Flight> m_flights;
  MotionAnimation m_animation;
  qreal m_progress = 0;
};

} // namespace lumora
