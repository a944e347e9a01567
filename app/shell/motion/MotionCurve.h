#pragma once

#include <QEasingCurve>
#include <QString>

namespace lumora {

/// One timing curve of the motion language: either a damped spring given by its response
/// (the period of the undamped oscillation, in seconds) and damping fraction, or an ease-out
/// (the cubic Bézier (0, 0) (0.58, 1)) of a fixed duration. A value type; `valueAt` maps
/// elapsed seconds to progress, 0 at the start and settling at 1 (an underdamped spring
/// overshoots 1 on the way).
class MotionCurve {
public:
  enum class Kind { spring, easeOut };

  /// A critically damped spring of response 0.55 s, the platform's default spring.
  MotionCurve() = default;
  [[nodiscard]] static MotionCurve spring(double response, double dampingFraction,
                                          double blendDuration = 0);
  [[nodiscard]] static MotionCurve easeOut(double duration);

  [[nodiscard]] Kind kind() const { return m_kind; }
  [[nodiscard]] double response() const { return m_response; }
  [[nodiscard]] double dampingFraction() const { return m_damping; }
  [[nodiscard]] double blendDuration() const { return m_blend; }

  /// Progress at `seconds` after the start: the closed-form damped oscillator for a spring,
  /// the eased fraction of the duration for an ease-out. 0 before the start, 1 once settled.
  [[nodiscard]] double valueAt(double seconds) const;
  /// How long the curve runs: the ease-out's duration, or the time after which a spring
  /// stays within 0.001 of its target.
  [[nodiscard]] double duration() const;
  [[nodiscard]] int durationMs() const;

  /// A stable text, e.g. "spring(response: 0.28, dampingFraction: 0.86, blendDuration: 0)"
  /// or "easeOut(duration: 0.14)". Two curves with equal descriptions behave alike.
  [[nodiscard]] QString description() const;

  friend bool operator==(const MotionCurve &, const MotionCurve &) = default;

private:
  [[nodiscard]] double springValue(double t) const;

  Kind m_kind = Kind::spring;
  double m_response = 0.55;
  double m_damping = 1.0;
  double m_blend = 0;
  double m_duration = 0;
};

} // namespace lumora

namespace lumora::motion {

/// The ease-out timing, the cubic Bézier (0, 0) (0.58, 1), for a `QVariantAnimation`; the
/// curve every `MotionCurve::easeOut` follows.
[[nodiscard]] QEasingCurve easeOutCurve();

} // namespace lumora::motion
