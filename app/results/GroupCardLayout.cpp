#include "app/results/GroupCardLayout.h"

#include <algorithm>

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

  // Up to six tiles, then the "+n" tile right after them while candidates remain. A card
  // too narrow for that shows fewer tiles, and the overflow tile counts the others too.
  const int end = layout.strip.right() + 1;
  const int step = kTile + kTileSpacing;
  const int wanted = std::min(candidates, kMaxTiles);
  int count = wanted;
  const bool allFit = kPadding + wanted * step - kTileSpacing <= end;
  if (candidates > wanted || !allFit) {
    count = std::clamp((end - kPadding - kOverflowWidth) / step, 0, wanted);
  }
  for (int i = 0; i < count; ++i) {
    layout.tiles.emplace_back(kPadding + i * step, layout.strip.y(), kTile, kTile);
  }
  if (count < candidates) {
    layout.overflow = QRect(kPadding + count * step, layout.strip.y(), kOverflowWidth, kTile);
  }
  return layout;
}

int GroupCardLayout::hiddenCount(int candidates) const {
  return std::max(candidates - static_cast<int>(tiles.size()), 0);
}

} // namespace lumora
