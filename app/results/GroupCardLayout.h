#pragma once

#include <QRect>
#include <optional>
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
  /// The closest the tiles draw together on a card too narrow for six at the full spacing.
  static constexpr int kMinTileSpacing = 2;
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
  /// tiles, and the overflow tile after them when candidates remain. Six tiles need a card
  /// of 342 at the full spacing and 322 at the closest; six tiles and the overflow tile
  /// need 380 and 356. A narrower card shows fewer tiles.
  [[nodiscard]] static GroupCardLayout make(int width, int candidates);
  /// The gap that lets `tileCount` tiles, and the overflow tile after them when `overflow`
  /// is set, fit a strip `stripWidth` wide: the full spacing where it fits, else the widest
  /// that does; none when even the minimum spacing does not fit.
  [[nodiscard]] static std::optional<int> tileSpacing(int stripWidth, int tileCount, bool overflow);

private:
  void placeTiles(int candidates);
};

} // namespace lumora
