#pragma once

#include <QString>
#include <functional>

/// The UI self-test's check that every spring of the window falls back to the same short
/// ease-out as the "fast" token under reduced motion.
namespace lumora::reducedmotioncheck {

/// Where the reduced variants' descriptions come from.
struct Descriptions {
  std::function<QString(double response, double dampingFraction)> reducedSpring;
  std::function<QString()> reducedFast;
};

/// The descriptions of the curves that the views' animations (`MotionAnimation`) run now,
/// resolved for the current reduced-motion setting as a view's move resolves them.
[[nodiscard]] Descriptions viewDescriptions();

/// Turns reduced motion on for the check and restores the previous override afterwards;
/// throws `SelfTestFailure` when a reduced variant is not the 0.14 s ease-out of the others.
void verify();
void verify(const Descriptions &descriptions);

} // namespace lumora::reducedmotioncheck
