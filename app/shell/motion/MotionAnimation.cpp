#include "app/shell/motion/MotionAnimation.h"

#include "app/shell/motion/Motion.h"

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
  start();
}

void MotionAnimation::jumpTo(const QVariant &value) {
  stop();
  m_value = value;
  setStartValue(value);
  setEndValue(value);
  emit valueChanged(value);
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
