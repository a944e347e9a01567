#include "app/results/GroupCardLayout.h"

#include <algorithm>
#include <optional>

namespace lumora {

GroupCardLayout GroupCardLayout::make(int width, int candidates) {
  GroupCardLayout layout;
  layout.card = QRect(0, 0, width, kHeight);
  layout.hero = QRect(0, 0, width, kHeroHeight);
  const int inner = std::max(width - 2 * kPadding, 0);
  int y = kHeroHeight + kPadding;
  layout.titleRow = QRect(kPadding, y, inner, kTitleHeight);
  y += kTitleHeight + kSectionSpacing;
  layout.strip = QRect(kPadding, y, inner, kStripHeight);
  y += kStripHeight + kSectionSpacing;
  layout.button = QRect(kPadding, y, inner, kButtonHeight);
  y += kButtonHeight + kCaptionSpacing;
  layout.caption = QRect(kPadding, y, inner, kCaptionHeight);

  layout.placeTiles(candidates);
  return layout;
}

std::optional<int> GroupCardLayout::tileSpacing(int stripWidth, int tileCount, bool overflow) {
  const int pieces = tileCount + (overflow ? 1 : 0);
  const int room = stripWidth - tileCount * kTile - (overflow ? kOverflowWidth : 0);
  if (pieces <= 1) {
    return room >= 0 ? std::optional<int>(kTileSpacing) : std::nullopt;
  }
  const int spacing = std::min(room / (pieces - 1), kTileSpacing);
  return spacing >= kMinTileSpacing ? std::optional<int>(spacing) : std::nullopt;
}

// One tile for each of the first six candidates, then the "+n" tile right after them while
// candidates remain. The gaps close up before any tile goes; a strip too narrow even then
// gives its last tiles to the overflow tile, which counts them too.
void GroupCardLayout::placeTiles(int candidates) {
  int count = std::clamp(candidates, 0, kMaxTiles);
  std::optional<int> spacing;
  for (; count > 0; --count) {
    spacing = tileSpacing(strip.width(), count, count < candidates);
    if (spacing) {
      break;
    }
  }
  const int step = kTile + spacing.value_or(kTileSpacing);
  for (int i = 0; i < count; ++i) {
    tiles.emplace_back(strip.x() + i * step, strip.y(), kTile, kTile);
  }
  if (count < candidates) {
    overflow = QRect(strip.x() + count * step, strip.y(), kOverflowWidth, kTile);
  }
}

int GroupCardLayout::hiddenCount(int candidates) const {
  return std::max(candidates - static_cast<int>(tiles.size()), 0);
}

} // namespace lumora
