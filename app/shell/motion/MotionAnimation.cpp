#include "app/shell/motion/MotionAnimation.h"

#include "app/shell/motion/Motion.h"

#include <QScopedValueRollback>
#include <algorithm>

namespace lumora {

MotionAnimation::MotionAnimation(QObject *parent) : MotionAnimation(motion::smooth(), parent) {}

MotionAnimation::MotionAnimation(const MotionCurve &curve, QObject *parent)
    : QVariantAnimation(parent), m_curve(curve), m_running(curve) {
  // The curve is applied in `interpolated`; the easing stays linear in time.
  setEasingCurve(QEasingCurve::Linear);
}

void MotionAnimation::setCurve(const MotionCurve &curve) { m_curve = curve; }

void MotionAnimation::animateTo(const QVariant &target) {
  const QVariant from = value();
  stop();
  m_value = target;
  if (!from.isValid() || from == target) {
    setStartValue(target);
    setEndValue(target);
    emit valueChanged(target);
    return;
  }
  m_running = m_followsReducedMotion ? motion::resolved(m_curve) : m_curve;
  setDuration(m_running.durationMs());
  setStartValue(from);
  setEndValue(target);
  m_shownTime = 0;
  start();
}

void MotionAnimation::jumpTo(const QVariant &value) {
  stop();
  m_value = value;
  setStartValue(value);
  setEndValue(value);
  emit valueChanged(value);
}

// The animation timer moves every running animation on from its own current time; setting
// that time back to the paced one makes the next step start from there.
void MotionAnimation::updateCurrentTime(int time) {
  if (m_maxStepMs > 0 && !m_pacing && time > m_shownTime + m_maxStepMs) {
    const QScopedValueRollback pacing(m_pacing, true);
    setCurrentTime(m_shownTime + m_maxStepMs);
    return;
  }
  m_shownTime = time;
  QVariantAnimation::updateCurrentTime(time);
}

QVariant MotionAnimation::value() const {
  return state() == QAbstractAnimation::Running ? currentValue() : m_value;
}

QVariant MotionAnimation::interpolated(const QVariant &from, const QVariant &to,
                                       qreal progress) const {
  const qreal eased = m_running.valueAt(progress * m_running.duration());
  return QVariantAnimation::interpolated(from, to, eased);
}

} // namespace lumora
