#pragma once

#include <QRect>
#include <vector>

namespace lumora {

/// Where the parts of a group card sit, in card coordinates, for a card `width` wide. The
/// height is the same for every card.
struct GroupCardLayout {
  static constexpr int kHeroHeight = 188;
  static constexpr int kPadding = 12;
  static constexpr int kTitleHeight = 19;
  static constexpr int kStripHeight = 48;
  static constexpr int kTile = 48;
  static constexpr int kTileSpacing = 6;
  static constexpr int kOverflowWidth = 32;
  static constexpr int kMaxTiles = 6;
  static constexpr int kButtonHeight = 24;
  static constexpr int kCaptionHeight = 16;
  static constexpr int kSectionSpacing = 10;
  static constexpr int kCaptionSpacing = 4;
  static constexpr int kCornerRadius = 16;
  /// The whole card: hero, padding, title, strip, button, caption, padding.
  static constexpr int kHeight = kHeroHeight + kPadding + kTitleHeight + kSectionSpacing +
                                 kStripHeight + kSectionSpacing + kButtonHeight + kCaptionSpacing +
                                 kCaptionHeight + kPadding;

  QRect card;
  QRect hero;
  QRect titleRow;
  QRect strip;
  QRect button;
  QRect caption;
  /// One rectangle per candidate tile shown; at most six.
  std::vector<QRect> tiles;
  /// The "+n" tile, empty when every candidate has a tile.
  QRect overflow;
  /// The candidates without a tile, which the overflow tile counts.
  [[nodiscard]] int hiddenCount(int candidates) const;

  /// The layout of a card `width` wide with `candidates` photos besides the best: up to six
  /// tiles, and the overflow tile after them when candidates remain. Six tiles and the
  /// overflow tile need a card of 380; a narrower card shows fewer tiles.
  [[nodiscard]] static GroupCardLayout make(int width, int candidates);
};

} // namespace lumora
