#include "engine/model/PhotoGroup.h"

#include "engine/util/Numeric.h"

#include <algorithm>
#include <limits>

namespace lumora {

PhotoGroup::PhotoGroup(std::string id_, std::vector<PhotoItem> items_)
    : id(std::move(id_)), items(std::move(items_)) {
  bestID = items.empty() ? id : items.front().id;
}

std::optional<PhotoItem> PhotoGroup::best() const {
  if (items.empty()) {
    return std::nullopt;
  }
  return items.front();
}

Date PhotoGroup::date() const { return items.empty() ? Date::now() : items.front().captureDate; }

std::int64_t PhotoGroup::reclaimableBytes() const {
  if (count() < 2) {
    return 0;
  }
  std::int64_t total = 0;
  for (auto it = items.begin() + 1; it != items.end(); ++it) {
    total = numeric::addBytes(total, it->fileSize);
  }
  return total;
}

double PhotoGroup::deltaFromBest(const PhotoItem &item) const {
  if (items.empty()) {
    return 0;
  }
  const float difference = item.score - items.front().score;
  return static_cast<double>(difference) * 5.0;
}

SelectionReason PhotoGroup::bestReason() const {
  if (count() < 2) {
    return SelectionReason::single();
  }
  const PhotoItem &bestItem = items.front();
  float maxOtherSharpness = -std::numeric_limits<float>::infinity();
  float maxOtherScore = -std::numeric_limits<float>::infinity();
  std::int64_t utilityCount = 0;
  for (auto it = items.begin() + 1; it != items.end(); ++it) {
    maxOtherSharpness = std::max(maxOtherSharpness, it->sharpness);
    maxOtherScore = std::max(maxOtherScore, it->score);
    utilityCount += it->isUtility ? 1 : 0;
  }
  float sharpGain = 0;
  if (maxOtherSharpness > 1.0f) {
    sharpGain = (bestItem.sharpness - maxOtherSharpness) / maxOtherSharpness;
  }
  const std::int64_t avoided = bestItem.isUtility ? 0 : utilityCount;
  const std::int64_t percent = numeric::truncatedInt(sharpGain * 100.0f);
  if (sharpGain > 0.25f) {
    return SelectionReason::sharpest(percent, avoided);
  }
  const double scoreGain = static_cast<double>(bestItem.score - maxOtherScore) * 5.0;
  if (scoreGain > 0.4) {
    return SelectionReason::highestScore(scoreGain, avoided);
  }
  if (sharpGain > 0.1f) {
    return SelectionReason::sharperButClose(percent, scoreGain, avoided);
  }
  return SelectionReason::combined(avoided);
}

} // namespace lumora
