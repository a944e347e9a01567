#pragma once

#include "engine/analysis/ImagePlanes.h"
#include "engine/analysis/QualityMeasures.h"

namespace lumora {

/// Measures of printed text and blank paper, read in 16-pixel blocks of the full grey plane:
/// lines of print, a page's paper, and how they lie together.
namespace printmeasures {

/// Sets the print and paper measures of `m` from `planes`; reads `m.noise`, which sets how
/// smooth blank paper is.
void measure(const ImagePlanes &planes, QualityMeasures &m);

} // namespace printmeasures

} // namespace lumora
