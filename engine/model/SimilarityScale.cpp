#include "engine/model/SimilarityScale.h"

#include <algorithm>
#include <cmath>

namespace lumora::SimilarityScale {

namespace {
constexpr int kFirstHundredths = 18;
} // namespace

float thresholdAtGridPosition(int position) {
  const int clamped = std::clamp(position, 0, gridPositionCount - 1);
  return static_cast<float>(kFirstHundredths + clamped) / 100.0f;
}

int gridPositionOf(float threshold) {
  if (std::isnan(threshold)) {
    return gridPositionOf(defaultThreshold);
  }
  const double steps = static_cast<double>(threshold) * 100.0 - kFirstHundredths;
  const double clamped = std::clamp(steps, 0.0, static_cast<double>(gridPositionCount - 1));
  return static_cast<int>(std::lround(clamped));
}

double similarityPercent(float threshold) {
  const double percent = (1.0 - static_cast<double>(threshold) / 0.8) * 100.0;
  if (std::isnan(percent)) {
    return 0.0;
  }
  return std::clamp(percent, 0.0, 100.0);
}

QString hint(float threshold) {
  // Float literals: the float nearest 0.24 must land in the second band, not the first.
  if (threshold < 0.24f)
    return QStringLiteral("严格：只合并几乎相同的连拍帧");
  if (threshold < 0.32f)
    return QStringLiteral("推荐：同一次拍摄的多张");
  if (threshold < 0.42f)
    return QStringLiteral("宽松：同一场景的不同时段");
  return QStringLiteral("很宽松：可能误合并不同内容，慎用");
}

} // namespace lumora::SimilarityScale
