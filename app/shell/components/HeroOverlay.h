#pragma once

#include "app/shell/components/HeroView.h"
#include "app/shell/motion/MotionAnimation.h"

#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <optional>
#include <vector>

namespace lumora {

/// Draws hero flights over its parent (the root view): each flight carries one photo from
/// the frame of one widget to the frame of another on the 0.42 / 0.92 spring, aspect-filling
/// it into the frame of the moment with the corners of the moment. The badges each side
/// draws over its photo ride on the flying photo, drawn into the frame of the moment: the
/// leaving side's fade out over the first half, the arriving side's fade in over the second.
/// Transparent to the mouse; hidden whenever no flight runs. Made by `HeroNamespace`.
class HeroOverlay : public QWidget {
  Q_OBJECT

public:
  /// One end of a flight, in the overlay's coordinates.
  struct Side {
    QRect rect;
    /// The part of `rect` its screen shows (a card half scrolled away shows half).
    QRect visible;
    HeroCorners corners;
    /// What the side draws over its photo, over transparency; null for nothing.
    QPixmap badges;
  };
  struct Flight {
    QString identifier;
    QImage photo;
    Side from;
    /// Where the photo lands; unset, it stays in place and fades with its screen.
    std::optional<Side> to;
    /// The widgets the photo is lifted out of; the destination is followed while it moves
    /// and hands over its own photo as soon as it has one.
    HeroView *source = nullptr;
    QPointer<QWidget> sourceWidget;
    HeroView *destination = nullptr;
    QPointer<QWidget> destinationWidget;
    /// `photo` scaled once to the largest frame it is drawn in; made on first use.
    mutable QPixmap scaled;
  };

  explicit HeroOverlay(QWidget *parent);

  /// Shows `flight` at its start, not moving, until `launch`.
  void hold(Flight flight);
  /// The flights held or flying, to give the held ones their destinations.
  [[nodiscard]] std::vector<Flight> &flights() { return m_flights; }
  /// Starts the held flights.
  void launch();
  /// Ends every flight now: the widgets show their photos again.
  void land();
  [[nodiscard]] bool isFlying() const { return !m_flights.empty(); }
  /// 0 at the start of the flights, 1 at their end.
  [[nodiscard]] qreal progress() const { return m_progress; }
  /// Pins the flights at `progress` without animating (screenshots, benchmarks).
  void setProgress(qreal progress);
  /// The photo's frame of a flight at `progress`.
  [[nodiscard]] static QRectF rectAt(const Flight &flight, qreal progress);
  /// `widget`'s rectangle in `host`, and the part of it its ancestors up to `host` show.
  [[nodiscard]] static QRect frameIn(const QWidget *host, const QWidget *widget);
  [[nodiscard]] static QRect visibleIn(const QWidget *host, const QWidget *widget);

protected:
  void paintEvent(QPaintEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  /// The area a flight paints at `progress`, with a pixel of slack for rounding.
  [[nodiscard]] static QRect paintedRect(const Flight &flight, qreal progress);
  void paintFlight(QPainter &painter, const Flight &flight) const;
  /// The flight's photo scaled once to the largest size it is drawn at.
  [[nodiscard]] static const QPixmap &scaledPhoto(const Flight &flight, qreal devicePixelRatio);
  /// Follows the destinations: where they are now and whether their photo has come.
  void followDestinations();
  void moveTo(qreal progress);

  std::vector<Flight> m_flights;
  MotionAnimation m_animation;
  qreal m_progress = 0;
};

} // namespace lumora
