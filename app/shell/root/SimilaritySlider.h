#pragma once

#include "engine/model/SimilarityScale.h"

#include <QString>

/// The similarity slider's scale: one position for each step of the threshold grid
/// (0.18 … 0.55 in steps of 0.01), so position 12 is exactly the 0.30f that the recommended
/// value and the reset link compare with.
namespace lumora::similarityslider {

inline constexpr int kPositionCount = SimilarityScale::gridPositionCount;

/// The threshold of a slider position, clamped to the scale.
[[nodiscard]] inline float thresholdAt(int position) {
  return SimilarityScale::thresholdAtGridPosition(position);
}
/// The position nearest `threshold`, clamped to the scale; an off-grid store value such
/// as 0.42000002 lands on its neighbouring step without being changed.
[[nodiscard]] inline int positionOf(float threshold) {
  return SimilarityScale::gridPositionOf(threshold);
}
/// True when `threshold` is the recommended 0.30 (compared as 32-bit floats).
[[nodiscard]] bool isRecommended(float threshold);
/// The similarity percentage of `threshold` as shown, "62%" at 0.30.
[[nodiscard]] QString percentText(float threshold);

} // namespace lumora::similarityslider
