#pragma once

#include "app/shell/motion/MotionCurve.h"

#include <QVariantAnimation>

namespace lumora {

/// A `QVariantAnimation` that runs a `MotionCurve` (a `QEasingCurve` cannot carry a spring's
/// parameters, and a spring overshoots). Values are interpolated with Qt's interpolators
/// (double, int, QPointF, QRectF, QColor, ...) and extrapolate past the target while a
/// spring overshoots.
///
/// Usage: set the curve once, then call `animateTo` for every new target. A call while
/// running starts again from the current value (no jump); the curve is resolved for reduced
/// motion at each start, so a change of the setting takes effect on the next move. Listen
/// to `valueChanged` (or read `currentValue()`) to paint. GUI thread only.
class MotionAnimation : public QVariantAnimation {
  Q_OBJECT

public:
  explicit MotionAnimation(QObject *parent = nullptr);
  MotionAnimation(const MotionCurve &curve, QObject *parent = nullptr);

  void setCurve(const MotionCurve &curve);
  /// Whether each move resolves the curve for reduced motion (the default). Off, the curve
  /// runs as it is whatever the setting: for measuring a spring, not for views.
  void setFollowsReducedMotion(bool follows) { m_followsReducedMotion = follows; }
  [[nodiscard]] const MotionCurve &curve() const { return m_curve; }
  /// The curve of the current run (after reduced-motion resolution).
  [[nodiscard]] const MotionCurve &runningCurve() const { return m_running; }
  /// With a limit, a step of the clock longer than `ms` (a frame that came late) moves the
  /// curve on by `ms` only: the move shows its next step instead of skipping ahead, and
  /// takes longer on a busy machine. 0 (the default) follows the clock.
  void setMaxStep(int ms) { m_maxStepMs = ms; }

  /// Moves from the current value (or `value()` when idle) to `target` along the curve.
  void animateTo(const QVariant &target);
  /// Sets the value at once, stopping a running move.
  void jumpTo(const QVariant &value);
  /// The value shown now: the animated one while running, else the last target.
  [[nodiscard]] QVariant value() const;

protected:
  void updateCurrentTime(int time) override;
  QVariant interpolated(const QVariant &from, const QVariant &to, qreal progress) const override;

private:
  MotionCurve m_curve;
  MotionCurve m_running;
  QVariant m_value;
  bool m_followsReducedMotion = true;
  int m_maxStepMs = 0;
  /// The time of the curve shown last, and whether it is being set back to a paced time.
  int m_shownTime = 0;
  bool m_pacing = false;
};

} // namespace lumora
