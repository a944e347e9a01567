#pragma once

#include <QString>

namespace lumora::SimilarityScale {

/// The similarity threshold is a feature distance: smaller is stricter.
inline constexpr float defaultThreshold = 0.30f;
inline constexpr float minThreshold = 0.18f;
inline constexpr float maxThreshold = 0.55f;
inline constexpr float step = 0.01f;

/// (1 − t / 0.8) × 100 in double from the float threshold, clamped to 0…100.
[[nodiscard]] double similarityPercent(float threshold);
/// The engine's fixed Chinese hint for a threshold; bands compare in single precision.
[[nodiscard]] QString hint(float threshold);

} // namespace lumora::SimilarityScale
