#include "app/selftest/ReducedMotionCheck.h"

#include "app/selftest/SelfTestFailure.h"
#include "app/shell/motion/Motion.h"
#include "app/shell/motion/MotionAnimation.h"
#include "platform/gui/ReduceMotion.h"

#include <optional>
#include <utility>

namespace lumora::reducedmotioncheck {
namespace {

// Restores the reduced-motion override however the check ends.
class ReducedMotionOn {
public:
  ReducedMotionOn() : m_previous(platform::reduceMotionOverride()) {
    platform::setReduceMotionOverride(true);
  }
  ~ReducedMotionOn() { platform::setReduceMotionOverride(m_previous); }
  ReducedMotionOn(const ReducedMotionOn &) = delete;
  ReducedMotionOn &operator=(const ReducedMotionOn &) = delete;

private:
  std::optional<bool> m_previous;
};

// The curve a view's animation runs when it moves now.
QString runningDescription(const MotionCurve &curve) {
  MotionAnimation animation(curve);
  animation.jumpTo(0.0);
  animation.animateTo(1.0);
  const QString description = animation.runningCurve().description();
  animation.stop();
  return description;
}

} // namespace

Descriptions viewDescriptions() {
  return {[](double response, double dampingFraction) {
            return runningDescription(MotionCurve::spring(response, dampingFraction));
          },
          [] { return runningDescription(motion::fast()); }};
}

void verify() { verify(viewDescriptions()); }

void verify(const Descriptions &descriptions) {
  const ReducedMotionOn reduced;
  const QString d = descriptions.reducedSpring(0.28, 0.86);
  if (!d.contains(QStringLiteral("duration: 0.14"))) {
    throw SelfTestFailure{QStringLiteral("Reduce Motion 未降级为 fast(0.14s)：") + d};
  }
  for (const auto &[response, damping] : {std::pair{0.42, 0.92}, std::pair{0.34, 0.70}}) {
    const QString e = descriptions.reducedSpring(response, damping);
    if (e != d) {
      throw SelfTestFailure{QStringLiteral("Reduce Motion 降级不一致：") + e +
                            QStringLiteral(" != ") + d};
    }
  }
  const QString f = descriptions.reducedFast();
  if (f != d) {
    throw SelfTestFailure{QStringLiteral("Reduce Motion 时长 token 未使用 fast：") + f +
                          QStringLiteral(" != ") + d};
  }
}

} // namespace lumora::reducedmotioncheck
