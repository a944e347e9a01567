#include "app/shell/motion/Motion.h"

#include "platform/gui/ReduceMotion.h"

namespace lumora::motion {

MotionCurve snappy() { return MotionCurve::spring(0.28, 0.86); }
MotionCurve smooth() { return MotionCurve::spring(0.42, 0.92); }
MotionCurve bouncy() { return MotionCurve::spring(0.34, 0.70); }
MotionCurve fast() { return MotionCurve::easeOut(0.14); }
MotionCurve easeOut(double seconds) { return MotionCurve::easeOut(seconds); }

MotionCurve reduced(const MotionCurve &) { return fast(); }

MotionCurve resolved(const MotionCurve &curve) {
  return platform::reduceMotion() ? reduced(curve) : curve;
}

QString reducedSpringDescription(double response, double dampingFraction) {
  return reduced(MotionCurve::spring(response, dampingFraction)).description();
}

QString reducedFastDescription() { return reduced(fast()).description(); }

} // namespace lumora::motion
