#pragma once

#include "engine/analysis/ImagePlanes.h"
#include "engine/analysis/QualityMeasures.h"

namespace lumora {

/// Measures of flat runs along the edges of a thumbnail: a window's bars and panels line its
/// sides with exact colours, a photograph's border has none.
namespace bordermeasures {

/// Sets the border measures of `m` from `planes`.
void measure(const ImagePlanes &planes, QualityMeasures &m);

} // namespace bordermeasures

} // namespace lumora
