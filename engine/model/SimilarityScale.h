#pragma once

#include <QString>

namespace lumora::SimilarityScale {

/// The similarity threshold is a feature distance: smaller is stricter.
inline constexpr float defaultThreshold = 0.30f;
inline constexpr float minThreshold = 0.18f;
inline constexpr float maxThreshold = 0.55f;
inline constexpr float step = 0.01f;

/// The grid every threshold the user can pick lies on: 38 positions for 0.18 … 0.55 in
/// steps of 0.01. Each position's threshold is one float division of two exact integers,
/// (18 + position) / 100, so position 12 is exactly the literal 0.30f of `defaultThreshold`.
inline constexpr int gridPositionCount = 38;

/// (18 + position) / 100 in single precision; the position is clamped to the grid.
[[nodiscard]] float thresholdAtGridPosition(int position);
/// The grid position nearest `threshold`, clamped to the grid; not a number gives the
/// default's position. An off-grid value such as 0.42000002 lands on its neighbour.
[[nodiscard]] int gridPositionOf(float threshold);

/// (1 − t / 0.8) × 100 in double from the float threshold, clamped to 0…100.
[[nodiscard]] double similarityPercent(float threshold);
/// The engine's fixed Chinese hint for a threshold; bands compare in single precision.
[[nodiscard]] QString hint(float threshold);

} // namespace lumora::SimilarityScale
