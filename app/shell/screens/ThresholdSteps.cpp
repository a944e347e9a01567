#include "app/shell/screens/ThresholdSteps.h"

#include "engine/model/SimilarityScale.h"

#include <algorithm>
#include <cmath>

namespace lumora::ThresholdSteps {

bool canLoosen(float threshold) { return threshold < SimilarityScale::maxThreshold; }

bool canTighten(float threshold) { return threshold > SimilarityScale::minThreshold; }

float looser(float threshold) {
  return onSliderGrid(std::min(threshold + kStep, SimilarityScale::maxThreshold));
}

float stricter(float threshold) {
  return onSliderGrid(std::max(threshold - kStep, SimilarityScale::minThreshold));
}

float onSliderGrid(float threshold) {
  if (!std::isfinite(threshold)) {
    return SimilarityScale::defaultThreshold;
  }
  const double hundredths = std::round(static_cast<double>(threshold) * 100.0);
  const double clamped = std::clamp(hundredths, 18.0, 55.0);
  // One float division of two exact integers: the float nearest k / 100, which is what the
  // slider writes and what the literal 0.30f is.
  return static_cast<float>(clamped) / 100.0f;
}

} // namespace lumora::ThresholdSteps
