#include "app/shell/root/SimilaritySlider.h"

#include "app/store/texts/Fmt.h"
#include "engine/model/SimilarityScale.h"

#include <algorithm>
#include <cmath>

namespace lumora::similarityslider {

float thresholdAt(int position) {
  const int clamped = std::clamp(position, 0, kPositionCount - 1);
  return static_cast<float>(kFirstHundredths + clamped) / 100.0f;
}

int positionOf(float threshold) {
  if (std::isnan(threshold)) {
    return positionOf(SimilarityScale::defaultThreshold);
  }
  const double steps = static_cast<double>(threshold) * 100.0 - kFirstHundredths;
  const double clamped = std::clamp(steps, 0.0, static_cast<double>(kPositionCount - 1));
  return static_cast<int>(std::lround(clamped));
}

bool isRecommended(float threshold) { return threshold == SimilarityScale::defaultThreshold; }

QString percentText(float threshold) {
  return Fmt::percent(SimilarityScale::similarityPercent(threshold));
}

} // namespace lumora::similarityslider
