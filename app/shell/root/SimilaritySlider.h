#pragma once

#include <QString>

/// The similarity slider's scale: 38 positions for the thresholds 0.18 … 0.55 in steps of
/// 0.01. Each position's threshold is one float division, so position 12 is exactly the
/// 0.30f that the recommended value and the reset link compare with.
namespace lumora::similarityslider {

inline constexpr int kPositionCount = 38;
inline constexpr int kFirstHundredths = 18;

/// (18 + position) / 100 in single precision; the position is clamped to the scale.
[[nodiscard]] float thresholdAt(int position);
/// The position nearest `threshold`, clamped to the scale; an off-grid store value such
/// as 0.42000002 lands on its neighbouring step without being changed.
[[nodiscard]] int positionOf(float threshold);
/// True when `threshold` is the recommended 0.30 (compared as 32-bit floats).
[[nodiscard]] bool isRecommended(float threshold);
/// The similarity percentage of `threshold` as shown, "62%" at 0.30.
[[nodiscard]] QString percentText(float threshold);

} // namespace lumora::similarityslider
