#pragma once

#include "engine/analysis/ImagePlanes.h"
#include "engine/analysis/SourceFacts.h"

#include <cstdint>

/// What lossy coding did to a picture, as far as one picture and its file can tell: a JPEG's
/// own tables say how coarsely it was saved, and the 8 × 8 block edges of a coarse encode
/// show in the pixels whatever file they were stored in (a video frame kept as PNG). Both are
/// damage, not detail: they are taken off the sharpness and cost the score.
namespace lumora::compressiondamage {

struct Damage {
  /// The sharpness measured, less the false detail of the coding.
  float sharpness = 0;
  /// What the coding costs the score (0 or more).
  float scoreCost = 0;
};

/// The damage to a thumbnail `planes` of a file whose facts are `facts`, whose sharpness
/// (see `VisionAnalyzer::kSharpnessSide`) measured `measured`.
[[nodiscard]] Damage assess(const ImagePlanes &planes, const SourceFacts &facts, float measured);

/// The largest deviation, in grey levels of a thumbnail `thumbnailPixels` large, of the error
/// a lossy save described by `facts` left in it: a block's rounding error shrinks with the
/// thumbnail as it averages neighbouring pixels. 0 for a lossless or unknown file.
[[nodiscard]] float roundingError(const SourceFacts &facts, std::int64_t thumbnailPixels);

} // namespace lumora::compressiondamage
