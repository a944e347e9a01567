#include "app/shell/screens/ThresholdSteps.h"

#include "engine/model/SimilarityScale.h"

#include <algorithm>
#include <cmath>

namespace lumora::thresholdsteps {

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
  return SimilarityScale::thresholdAtGridPosition(SimilarityScale::gridPositionOf(threshold));
}

} // namespace lumora::thresholdsteps
