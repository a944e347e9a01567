#include "engine/analysis/CompressionDamage.h"

#include "engine/analysis/BlockGrid.h"

#include <algorithm>
#include <cmath>

namespace lumora::compressiondamage {

namespace {

/// The luminance steps of the standard tables unscaled (quality 50), as a root mean square.
constexpr float kStepAtQuality50 = 67.6f;

/// What a lossy save costs the score, per grey level of its luminance steps beyond those of
/// quality 95 (6.8 levels): 0.49 at quality 50, 0.055 at 90, nothing from 95 on. A file that
/// lost detail to its save holds less than one that did not, however clean its pixels look:
/// rounding takes grain and fine texture away with the detail, and what is left can read as
/// cleaner than the original. Saves at 95 and above lose nothing the eye finds, and cameras
/// commonly save there, so their photos keep their score.
constexpr float kScorePerStep = 0.55f / kStepAtQuality50;
constexpr float kUnseenStep = 6.8f;

/// The most a lossy save's rounding adds to the Laplacian variance, per grey level of its
/// error's deviation at the thumbnail (measured on re-saves of many sources at qualities
/// 70 to 95: a few squared levels at most, whatever the scene).
constexpr float kFalseDetailPerError = 4.0f;

/// The codec's block, in pixels of the coded picture.
constexpr double kBlockSide = 8;

/// The grid's share (`blockgrid::share`) that scenes show by themselves: edges that happen
/// to repeat near the grid's period, a tiled floor. Only blocks beyond it cost the score.
constexpr float kSceneGridShare = 0.1f;

/// What block edges cost the score per unit of the grid's share beyond the scene's: a frame
/// whose steps are mostly block edges (share 1) loses 0.45, a clearly blocky one (0.3) 0.1.
constexpr float kScorePerGridShare = 0.5f;

/// The coding trace (`SourceFacts::codingTrace`) that pictures never coded reach by
/// themselves: edges and flat patches that happen to line up with the corner's grid.
constexpr float kSceneTrace = 0.01f;

/// What a video coder's trace costs the score per unit beyond the scene's, and at most. The
/// trace tells that a frame was coded, not how coarsely, so it costs no more than a good
/// save does (a JPEG at about quality 88): enough that a coded frame falls behind the clean
/// frame of the same instant, which it matches in every other measure.
constexpr float kScorePerTrace = 2.0f;
constexpr float kMostTraceCost = 0.05f;

/// The false detail of a JPEG's rounding (block edges, ringing, mosquito noise), by its
/// tables. Rounding moves only the frequencies a block keeps, so it adds far less than white
/// noise of the error's deviation would: about in proportion to that deviation, and never
/// more than a share of the detail that grows with the step (up to half on flat scenes at
/// quality 70).
float roundingDetail(const SourceFacts &facts, float error, float measured) {
  const float share = std::min(1.0f, facts.detailStep / kStepAtQuality50);
  return std::min(kFalseDetailPerError * error, share * measured);
}

} // namespace

float roundingError(const SourceFacts &facts, std::int64_t thumbnailPixels) {
  if (facts.detailStep <= 0 || thumbnailPixels <= 0) {
    return 0;
  }
  // Rounding to a step q leaves an error of deviation up to q / √12; averaging s × s pixels
  // into one divides an error that is independent from pixel to pixel by s.
  const double shrink = std::sqrt(
      std::max(1.0, static_cast<double>(facts.pixels) / static_cast<double>(thumbnailPixels)));
  return static_cast<float>(facts.detailStep / std::sqrt(12.0) / shrink);
}

Damage assess(const ImagePlanes &planes, const SourceFacts &facts, float measured) {
  const std::int64_t thumbnailPixels =
      static_cast<std::int64_t>(planes.width()) * static_cast<std::int64_t>(planes.height());
  // The grid lies 8 source pixels apart; a thumbnail of a file of unknown size is taken as
  // the file's own size.
  const double shrink = facts.pixels > 0 && thumbnailPixels > 0
                            ? std::sqrt(std::max(1.0, static_cast<double>(facts.pixels) /
                                                          static_cast<double>(thumbnailPixels)))
                            : 1.0;
  const float grid = blockgrid::share(planes, kBlockSide / shrink);
  const float error = roundingError(facts, thumbnailPixels);
  // The grid's share is that of the mean step between neighbours, twice over (a line's
  // amplitude is twice the mean of the steps it gathers): block edges take that much of the
  // detail measured.
  const float afterRounding = measured - roundingDetail(facts, error, measured);
  const float sharpness = std::max(0.0f, afterRounding * std::max(0.0f, 1.0f - grid / 2.0f));
  const float cost =
      kScorePerStep * std::max(0.0f, facts.detailStep - kUnseenStep) +
      kScorePerGridShare * std::max(0.0f, grid - kSceneGridShare) +
      std::min(kMostTraceCost, kScorePerTrace * std::max(0.0f, facts.codingTrace - kSceneTrace));
  return Damage{sharpness, cost};
}

} // namespace lumora::compressiondamage
