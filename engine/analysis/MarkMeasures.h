#pragma once

#include "engine/analysis/ImagePlanes.h"

namespace lumora {

struct QualityMeasures;

/// Measures of marks and panels that do not depend on which is lighter: letters, rules and
/// panels of a window look alike in a light or a dark theme, and after JPEG compression they
/// are near-flat rather than exact. All are read from the full grey plane.
namespace markmeasures {

/// Fills the mark, edge and flat-block measures of `m` from `planes`.
void measure(const ImagePlanes &planes, QualityMeasures &m);

} // namespace markmeasures

} // namespace lumora
