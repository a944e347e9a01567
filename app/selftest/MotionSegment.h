#pragma once

#include <QString>

namespace lumora {

/// The motion figures of one photographed transition.
struct MotionSegment {
  QString name;
  /// Frame pairs that differ by more than 0.5 %.
  int animated = 0;
  /// Milliseconds after the action at which the last significant change had ended.
  int settleMs = 0;
  /// The largest difference between neighbouring frames, in percent.
  double maxJump = 0;
  /// Frames (baseline included) whose grey variance is below 4.
  int blank = 0;
  /// The first pair with the largest difference.
  int maxIndex = 0;
  /// The last pair that differs by at least 0.2 %.
  int settleIndex = 0;
};

} // namespace lumora
