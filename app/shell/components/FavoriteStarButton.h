#pragma once

#include "app/shell/motion/MotionAnimation.h"

#include <QAbstractButton>
#include <QPauseAnimation>

namespace lumora {

/// The favourite star of a photo tile: a 28 × 28 button (the whole square takes clicks)
/// showing "star.fill" in yellow when `isFavorite`, else "star" in the secondary colour.
/// A click emits `clicked()`; the caller owns the state and sets it with `setFavorite` once
/// its action has run. Turning it on (not on first display, not under reduced motion)
/// pulses the star to 1.28× on the 0.34 / 0.70 spring and back after 0.15 s. The texts are
/// the caller's: the tooltip with `setToolTip`, the accessible label with `setAccessibleName`.
class FavoriteStarButton : public QAbstractButton {
  Q_OBJECT

public:
  explicit FavoriteStarButton(bool isFavorite = false, QWidget *parent = nullptr);

  void setFavorite(bool favorite);
  [[nodiscard]] bool isFavorite() const { return m_favorite; }
  /// The star's current scale: 1 at rest, up to about 1.28 during a pulse.
  [[nodiscard]] qreal scale() const { return m_scale; }
  /// Whether a pulse is under way (set on turning on, cleared 0.15 s later).
  [[nodiscard]] bool isPulsing() const {
    return m_pulseReset.state() == QAbstractAnimation::Running;
  }

  [[nodiscard]] QSize sizeHint() const override;

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  MotionAnimation m_scaleAnimation;
  /// The hold at the top of the pulse, on the animation clock as the spring is.
  QPauseAnimation m_pulseReset;
  bool m_favorite;
  qreal m_scale = 1;
};

} // namespace lumora
