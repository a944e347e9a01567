#include "app/store/texts/ScoreDisplay.h"

#include "engine/util/Numeric.h"

#include <cmath>

namespace lumora::scoredisplay {

QString roundedScoreText(const PhotoItem &item) {
  return QString::number(numeric::truncatedInt(std::round(item.displayScore())));
}

QColor color(ScoreTier tier) {
  switch (tier) {
  case ScoreTier::great: return QColor::fromRgbF(0.20f, 0.78f, 0.44f);
  case ScoreTier::good: return QColor::fromRgbF(0.25f, 0.60f, 0.98f);
  case ScoreTier::fair: return QColor::fromRgbF(0.98f, 0.62f, 0.20f);
  case ScoreTier::poor: return QColor::fromRgbF(0.95f, 0.36f, 0.38f);
  }
  return QColor::fromRgbF(0.95f, 0.36f, 0.38f);
}

} // namespace lumora::scoredisplay
