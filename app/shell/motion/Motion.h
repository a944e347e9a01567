#pragma once

#include "app/shell/motion/MotionCurve.h"

/// The motion language of the window: its tokens and their reduced variants. Views take
/// every animation from here and run it with `MotionAnimation`.
///
/// Reduced motion: every spring and the "fast" token become one 0.14 s ease-out. Pulses,
/// slides and scale-ins are the caller's to skip (read `platform::reduceMotion()`); fades
/// that only follow an opacity or a changing number keep their curve.
namespace lumora::motion {

/// Spring 0.28 / 0.86: quick, barely overshooting (selection, hover, small moves).
[[nodiscard]] MotionCurve snappy();
/// Spring 0.42 / 0.92: calm (screen entrances, month scrolls, hero moves).
[[nodiscard]] MotionCurve smooth();
/// Spring 0.34 / 0.70: lively, visibly overshooting (the favourite star's pulse).
[[nodiscard]] MotionCurve bouncy();
/// The duration token "fast": an ease-out of 0.14 s.
[[nodiscard]] MotionCurve fast();
/// An ease-out of any other duration (the 0.2 s progress fill, for example).
[[nodiscard]] MotionCurve easeOut(double seconds);

/// The longest step of a screen change's curve one frame may show (`MotionAnimation::
/// setMaxStep`): a late frame shows the next step of the change instead of skipping ahead.
inline constexpr int kMaxScreenStepMs = 20;

/// The curve to use under reduced motion: always `fast()`.
[[nodiscard]] MotionCurve reduced(const MotionCurve &curve);
/// `curve`, or its reduced variant while `platform::reduceMotion()` is on.
[[nodiscard]] MotionCurve resolved(const MotionCurve &curve);

/// The description of the reduced variant of the spring (response, damping fraction), and of
/// the "fast" token: what the self-test's reduced-motion check compares. All are equal and
/// contain "duration: 0.14".
[[nodiscard]] QString reducedSpringDescription(double response, double dampingFraction);
[[nodiscard]] QString reducedFastDescription();

} // namespace lumora::motion
