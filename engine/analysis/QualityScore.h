#pragma once

#include "engine/analysis/ImagePlanes.h"
#include "engine/analysis/PixelView.h"
#include "engine/analysis/QualityMeasures.h"

/// The quality score and the utility flag of one image, from its measured qualities.
namespace lumora::QualityScore {

struct Assessment {
  /// −1…1: well exposed, contrasty, colourful, sharp and clean images score high.
  float score = 0;
  /// Screenshots and documents.
  bool isUtility = false;
};

/// The score: a blend of exposure, clipping, contrast, colourfulness, sharpness and noise,
/// squashed into −1…1. Always finite.
[[nodiscard]] float score(const QualityMeasures &m);

/// Screenshots (large exact-colour areas, few colours, no sensor noise) and documents (dark
/// strokes on a plain, neutral page). Colourful drawings and blank frames are not flagged.
[[nodiscard]] bool isUtility(const QualityMeasures &m);

[[nodiscard]] Assessment assess(const PixelView &image, const ImagePlanes &planes,
                                float sharpness);

} // namespace lumora::QualityScore
