#include "app/shell/motion/MotionCurve.h"

#include <QPointF>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace lumora {
namespace {

// A spring counts as settled once its distance to the target stays below this.
constexpr double kSettleEpsilon = 0.001;

QString number(double value) { return QString::number(value, 'g', 6); }

} // namespace

MotionCurve MotionCurve::spring(double response, double dampingFraction, double blendDuration) {
  MotionCurve curve;
  curve.m_kind = Kind::spring;
  curve.m_response = std::max(response, 0.001);
  curve.m_damping = std::max(dampingFraction, 0.0);
  curve.m_blend = blendDuration;
  return curve;
}

MotionCurve MotionCurve::easeOut(double duration) {
  MotionCurve curve;
  curve.m_kind = Kind::easeOut;
  curve.m_duration = std::max(duration, 0.0);
  return curve;
}

double MotionCurve::valueAt(double seconds) const {
  if (seconds <= 0) {
    return 0;
  }
  if (seconds >= duration()) {
    return 1;
  }
  if (m_kind == Kind::easeOut) {
    return motion::easeOutCurve().valueForProgress(seconds / m_duration);
  }
  return springValue(seconds);
}

// The unit step response of a damped harmonic oscillator with natural frequency
// 2π / response: the under-, critically and over-damped closed forms.
double MotionCurve::springValue(double t) const {
  const double omega = 2 * M_PI / m_response;
  const double zeta = m_damping;
  if (zeta < 1) {
    const double decay = zeta * omega;
    const double omegaD = omega * std::sqrt(1 - zeta * zeta);
    return 1 -
           std::exp(-decay * t) * (std::cos(omegaD * t) + decay / omegaD * std::sin(omegaD * t));
  }
  if (zeta == 1) {
    return 1 - std::exp(-omega * t) * (1 + omega * t);
  }
  const double root = omega * std::sqrt(zeta * zeta - 1);
  const double r1 = -zeta * omega + root;
  const double r2 = -zeta * omega - root;
  return 1 - (r2 * std::exp(r1 * t) - r1 * std::exp(r2 * t)) / (r2 - r1);
}

double MotionCurve::duration() const {
  if (m_kind == Kind::easeOut) {
    return m_duration;
  }
  const double omega = 2 * M_PI / m_response;
  if (m_damping <= 0) {
    return 10; // undamped: never settles; cap the run
  }
  if (m_damping < 1) {
    // The envelope e^(-ζωt)·sqrt(1 + (ζ/√(1-ζ²))²) bounds the distance to the target.
    const double ratio = m_damping / std::sqrt(1 - m_damping * m_damping);
    const double amplitude = std::sqrt(1 + ratio * ratio);
    return std::log(amplitude / kSettleEpsilon) / (m_damping * omega);
  }
  // Critically and over-damped: step until the slowest mode is settled.
  double t = 0;
  while (t < 10 && std::abs(1 - springValue(t)) >= kSettleEpsilon) {
    t += 0.005;
  }
  return t;
}

int MotionCurve::durationMs() const { return std::max(1, qRound(duration() * 1000)); }

QString MotionCurve::description() const {
  if (m_kind == Kind::easeOut) {
    return QStringLiteral("easeOut(duration: %1)").arg(number(m_duration));
  }
  return QStringLiteral("spring(response: %1, dampingFraction: %2, blendDuration: %3)")
      .arg(number(m_response), number(m_damping), number(m_blend));
}

} // namespace lumora

namespace lumora::motion {

QEasingCurve easeOutCurve() {
  QEasingCurve curve(QEasingCurve::BezierSpline);
  curve.addCubicBezierSegment(QPointF(0, 0), QPointF(0.58, 1), QPointF(1, 1));
  return curve;
}

} // namespace lumora::motion
