#pragma once

#include "engine/analysis/ImagePlanes.h"

namespace lumora {

/// Measures of marks and panels that do not depend on which is lighter: letters, rules and
/// panels of a window look alike in a light or a dark theme, and after JPEG compression they
/// are near-flat rather than exact. All are read from the full grey plane.
namespace markmeasures {

/// The measures of marks and edges, as `QualityMeasures` carries them.
struct Marks {
  float markLines = 0;     ///< as QualityMeasures::markLines
  float straightEdges = 0; ///< as QualityMeasures::straightEdges
};

/// Measures the marks and edges of `planes`.
[[nodiscard]] Marks measure(const ImagePlanes &planes);

} // namespace markmeasures

} // namespace lumora
