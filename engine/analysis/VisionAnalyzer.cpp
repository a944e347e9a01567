#include "engine/analysis/VisionAnalyzer.h"

#include "engine/analysis/FeaturePrint.h"
#include "engine/analysis/ImagePlanes.h"
#include "engine/analysis/QualityScore.h"
#include "engine/analysis/Resampler.h"
#include "engine/analysis/UnitLength.h"

#include <QUrl>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace lumora::VisionAnalyzer {

namespace {

// Larger renderings are refused rather than allocated: callers measure at 256.
constexpr int kMaxSide = 8192;

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

/// The grey rendering as bytes: stretched to side × side and rounded like an 8-bit bitmap.
std::vector<std::uint8_t> greyRendering(const ImagePlanes &planes, int side) {
  const std::vector<float> grey =
      resampler::resample(planes.grey(), planes.width(),
                          resampler::Region{0, 0, planes.width(), planes.height()}, side, side);
  std::vector<std::uint8_t> bytes(grey.size());
  for (std::size_t i = 0; i < grey.size(); ++i) {
    const float v = grey[i] < 0 ? 0 : (grey[i] > 255 ? 255 : grey[i]);
    bytes[i] = static_cast<std::uint8_t>(v + 0.5f);
  }
  return bytes;
}

float laplacianVarianceOf(const ImagePlanes &planes, int side) {
  if (side < 2 || side > kMaxSide || planes.width() < 1 || planes.height() < 1) {
    return 0;
  }
  if (side == 2) {
    return 0; // no interior pixel
  }
  const std::vector<std::uint8_t> p = greyRendering(planes, side);
  // Integer sums are exact; for side 8192 ΣL² stays below 2^53, so the doubles are too.
  // Per row 32 bits suffice (8190 × 1020² < 2^33 would not, so rows of more than 2000 pixels
  // are summed in pieces) and keep the inner loop simple enough to vectorise.
  std::int64_t sum = 0;
  std::int64_t sumSquares = 0;
  constexpr int kPiece = 2000;
  for (int y = 1; y < side - 1; ++y) {
    const std::uint8_t *row = &p[static_cast<std::size_t>(y) * side];
    const std::uint8_t *up = row - side;
    const std::uint8_t *down = row + side;
    for (int start = 1; start < side - 1; start += kPiece) {
      const int end = std::min(side - 1, start + kPiece);
      std::int32_t rowSum = 0;
      std::uint32_t rowSquares = 0;
      for (int x = start; x < end; ++x) {
        const std::int32_t l = row[x + 1] + row[x - 1] + up[x] + down[x] - 4 * row[x];
        rowSum += l;
        rowSquares += static_cast<std::uint32_t>(l * l);
      }
      sum += rowSum;
      sumSquares += rowSquares;
    }
  }
  const double n = static_cast<double>(side - 2) * static_cast<double>(side - 2);
  const double mean = static_cast<double>(sum) / n;
  const double variance = static_cast<double>(sumSquares) / n - mean * mean;
  return static_cast<float>(variance < 0 ? 0 : variance);
}

} // namespace

float laplacianVariance(const PixelView &image, int side) {
  if (!image.isValid()) {
    return 0;
  }
  return laplacianVarianceOf(ImagePlanes(image), side);
}

float compressionError(const SourceFacts &facts, std::int64_t thumbnailPixels) {
  if (facts.detailStep <= 0 || thumbnailPixels <= 0) {
    return 0;
  }
  // Rounding to a step q leaves an error of deviation up to q / √12; averaging s × s pixels
  // into one divides an error that is independent from pixel to pixel by s.
  const double shrink = std::sqrt(
      std::max(1.0, static_cast<double>(facts.pixels) / static_cast<double>(thumbnailPixels)));
  return static_cast<float>(facts.detailStep / std::sqrt(12.0) / shrink);
}

Expected<ImageAnalysis, CuratorError> analyze(const PixelView &image) {
  return analyze(image, SourceFacts{});
}

Expected<ImageAnalysis, CuratorError> analyze(const PixelView &image, const SourceFacts &facts) {
  if (!image.isValid()) {
    return Unexpected(CuratorError::unreadable(QUrl::fromLocalFile(QStringLiteral("/"))));
  }
  const ImagePlanes planes(image);
  ImageAnalysis result;
  const float error = compressionError(facts, static_cast<std::int64_t>(image.width) *
                                                  static_cast<std::int64_t>(image.height));
  const float measured = laplacianVarianceOf(planes, kSharpnessSide);
  // Block edges, ringing and mosquito noise add to the Laplacian variance but are no detail
  // of the scene. Rounding moves only the frequencies a block keeps, so they add far less
  // than white noise of the error's deviation would: about in proportion to that deviation,
  // and never more than a share of the detail that grows with the step (up to half on flat
  // scenes at quality 70).
  const float share = std::min(1.0f, facts.detailStep / kStepAtQuality50);
  const float falseDetail = std::min(kFalseDetailPerError * error, share * measured);
  result.sharpness = std::max(0.0f, measured - falseDetail);
  const qualityscore::Assessment quality = qualityscore::assess(image, planes, result.sharpness);
  result.feature = featureprint::compute(planes, quality.documentWeight);
  normalise(result.feature);
  const float saveCost = kScorePerStep * std::max(0.0f, facts.detailStep - kUnseenStep);
  result.score = std::clamp(quality.score - saveCost, -1.0f, 1.0f);
  result.isUtility = quality.isUtility;
  return result;
}

} // namespace lumora::VisionAnalyzer
