#pragma once

#include "engine/analysis/ImagePlanes.h"
#include "engine/analysis/PixelView.h"
#include "engine/analysis/QualityMeasures.h"

#include <cstdint>

/// The quality score and the utility flag of one image, from its measured qualities.
namespace lumora::qualityscore {

struct Assessment {
  /// −1…1: well exposed, contrasty, colourful, sharp and clean images score high.
  float score = 0;
  /// Screenshots and documents.
  bool isUtility = false;
  /// 0…1: how much the picture counts as a document or screenshot (see
  /// `utilityclassifier::documentWeight`).
  float documentWeight = 0;
};

/// The score: a blend of exposure, clipping, contrast, colourfulness, sharpness and noise,
/// squashed into −1…1. Always finite.
[[nodiscard]] float score(const QualityMeasures &m);

/// Screenshots and documents, as the trees of `utilityclassifier` judge them from the
/// measures: fitted on screenshots, pages and real photographs of many sources, and biased
/// towards "photo" where the two cannot be told apart.
[[nodiscard]] bool isUtility(const QualityMeasures &m);

/// `score` lowered for a file whose picture has fewer than `kFullPixels` pixels, by 0.15 for
/// every halving below it (at most 0.6): a small copy resampled to thumbnail size looks as
/// sharp as its original, or sharper, yet holds less of the photo. `sourcePixels` 0 means
/// the size is not known and leaves the score as it is.
[[nodiscard]] float withSourceSize(float score, std::int64_t sourcePixels);

/// Below this many pixels (2 megapixels) a picture counts as a reduced copy.
inline constexpr std::int64_t kFullPixels = 2'000'000;

/// Assesses `image`, whose planes are `planes` and measured sharpness `sharpness`; the score
/// counts only `detail` of it (no more than `sharpness`), the rest being damage such as a
/// codec's block edges. The utility flag and the document weight read the whole.
[[nodiscard]] Assessment assess(const PixelView &image, const ImagePlanes &planes, float sharpness,
                                float detail);

} // namespace lumora::qualityscore
