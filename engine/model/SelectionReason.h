#pragma once

#include <cstdint>

namespace lumora {

/// Why a group's first photo is its best one.
struct SelectionReason {
  enum class Kind { sharpest, highestScore, sharperButClose, single, combined };

  Kind kind = Kind::single;
  /// Sharpness gain × 100, truncated (sharpest, sharperButClose).
  std::int64_t percent = 0;
  /// Displayed-score lead on the 0…10 scale (highestScore, sharperButClose).
  double gain = 0;
  /// Other photos of the group flagged as utility while the best one is not.
  std::int64_t utilityAvoided = 0;

  static SelectionReason sharpest(std::int64_t percent, std::int64_t utilityAvoided) {
    return {Kind::sharpest, percent, 0, utilityAvoided};
  }
  static SelectionReason highestScore(double gain, std::int64_t utilityAvoided) {
    return {Kind::highestScore, 0, gain, utilityAvoided};
  }
  static SelectionReason sharperButClose(std::int64_t percent, double gain,
                                         std::int64_t utilityAvoided) {
    return {Kind::sharperButClose, percent, gain, utilityAvoided};
  }
  static SelectionReason single() { return {Kind::single, 0, 0, 0}; }
  static SelectionReason combined(std::int64_t utilityAvoided) {
    return {Kind::combined, 0, 0, utilityAvoided};
  }

  bool operator==(const SelectionReason &) const = default;
};

} // namespace lumora
