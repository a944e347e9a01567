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

  const bool overflows = candidates > kMaxTiles;
  const int right = layout.strip.right() + 1 - (overflows ? kOverflowWidth + kTileSpacing : 0);
  const int shown = std::min(candidates, kMaxTiles);
  int x = kPadding;
  for (int i = 0; i < shown && x + kTile <= right; ++i, x += kTile + kTileSpacing) {
    layout.tiles.emplace_back(x, layout.strip.y(), kTile, kTile);
  }
  if (overflows) {
    // Right after the last tile, or at the strip's end when tiles were dropped.
    const int overflowX = layout.tiles.size() == static_cast<std::size_t>(kMaxTiles)
                              ? x
                              : layout.strip.right() + 1 - kOverflowWidth;
    layout.overflow = QRect(overflowX, layout.strip.y(), kOverflowWidth, kTile);
  }
  return layout;
}

} // namespace lumora
