#include "engine/analysis/VisionAnalyzer.h"

#include "engine/analysis/CompressionDamage.h"
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

Expected<ImageAnalysis, CuratorError> analyze(const PixelView &image) {
  return analyze(image, SourceFacts{});
}

Expected<ImageAnalysis, CuratorError> analyze(const PixelView &image, const SourceFacts &facts) {
  if (!image.isValid()) {
    return Unexpected(CuratorError::unreadable(QUrl::fromLocalFile(QStringLiteral("/"))));
  }
  const ImagePlanes planes(image);
  ImageAnalysis result;
  const float measured = laplacianVarianceOf(planes, kSharpnessSide);
  const compressiondamage::Damage damage = compressiondamage::assess(planes, facts, measured);
  result.sharpness = damage.sharpness;
  const qualityscore::Assessment quality =
      qualityscore::assess(image, planes, measured, damage.sharpness);
  result.feature = featureprint::compute(planes, quality.documentWeight, facts);
  normalise(result.feature);
  result.score = std::clamp(quality.score - damage.scoreCost, -1.0f, 1.0f);
  result.isUtility = quality.isUtility;
  return result;
}

} // namespace lumora::VisionAnalyzer
