#include "engine/model/ScoreTier.h"

namespace lumora::scoretier {

std::string_view rawValue(ScoreTier tier) {
  switch (tier) {
  case ScoreTier::great: return "great";
  case ScoreTier::good: return "good";
  case ScoreTier::fair: return "fair";
  case ScoreTier::poor: return "poor";
  }
  return "poor";
}

std::optional<ScoreTier> fromRawValue(std::string_view raw) {
  for (ScoreTier tier : kAll) {
    if (rawValue(tier) == raw) {
      return tier;
    }
  }
  return std::nullopt;
}

QString label(ScoreTier tier) {
  switch (tier) {
  case ScoreTier::great: return QStringLiteral("出色");
  case ScoreTier::good: return QStringLiteral("不错");
  case ScoreTier::fair: return QStringLiteral("一般");
  case ScoreTier::poor: return QStringLiteral("较差");
  }
  return QStringLiteral("较差");
}

ScoreTier forDisplayScore(double displayScore) {
  // Comparisons are false for NaN, which therefore falls through to poor.
  if (displayScore >= 8.5)
    return ScoreTier::great;
  if (displayScore >= 7.0)
    return ScoreTier::good;
  if (displayScore >= 5.0)
    return ScoreTier::fair;
  return ScoreTier::poor;
}

} // namespace lumora::scoretier
