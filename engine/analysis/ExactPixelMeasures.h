#pragma once

#include "engine/analysis/PixelView.h"
#include "engine/analysis/QualityMeasures.h"

namespace lumora {

/// Measures read from a thumbnail's exact pixel values rather than its grey planes: runs of
/// equal pixels, clipped channels and the most common exact colours, which tell drawn or
/// rendered images (panels of one colour) from photographs (no two neighbours quite alike).
namespace exactpixels {

/// Sets the flatness, clipped-channel and blank measures of `m` from `image`.
void measureFlatness(const PixelView &image, QualityMeasures &m);

/// Sets `m.dominantColours` from `image`.
void measureDominantColours(const PixelView &image, QualityMeasures &m);

} // namespace exactpixels

} // namespace lumora
