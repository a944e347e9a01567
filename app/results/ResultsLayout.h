#pragma once

#include <QRect>
#include <cstddef>
#include <optional>
#include <vector>

namespace lumora {

/// Places every part of the results grid by arithmetic, in the scroll content's
/// coordinates (y grows down from the content's top, x from the viewport's left): no
/// widget per group exists for layout. All cards share one height, so a section's rows,
/// its header top and its grid top follow from prefix sums computed once per change of the
/// groups, the width or the card height; everything asked per scroll step is a binary
/// search or a little arithmetic.
///
/// Date layout: a 20-point top anchor, then per month 18 points of spacing, the month
/// header and the month's grid block (padded 10 above, 8 below, 20 at the sides).
/// Member-count layout: one grid padded 20 on every side, its top anchor of height 0 above
/// it. Both leave 4 points at the trailing edge.
class ResultsLayout {
public:
  static constexpr int kColumnMinWidth = 300;
  static constexpr int kSpacing = 18;
  static constexpr int kHeaderHeight = 36;
  static constexpr int kTopAnchorHeight = 20;
  static constexpr int kGridSidePadding = 20;
  static constexpr int kGridTopPadding = 10;
  static constexpr int kGridBottomPadding = 8;
  static constexpr int kFlatPadding = 20;
  static constexpr int kTrailingPadding = 4;
  /// A month counts as reached when its grid top is at most this far below the view's top.
  static constexpr int kCurrentMonthThreshold = 40;
  /// A header whose top is at most this far below the view's top is pinned.
  static constexpr double kPinThreshold = 1.0;

  /// Where one card goes: its month (0 in the member-count layout), its position in that
  /// month, and its rectangle.
  struct Placement {
    std::size_t section = 0;
    std::size_t offset = 0;
    QRect rect;
  };

  /// Columns of at least 300 points, 18 apart, that fit `gridWidth`; at least one.
  [[nodiscard]] static int columnCount(double gridWidth);

  /// The groups per month in display order; `sectioned` is false for the one flat grid
  /// of the member-count layout (then `sizes` holds one entry, all groups).
  void setSections(std::vector<std::size_t> sizes, bool sectioned);
  /// The viewport's width; the grids are this less their paddings.
  void setViewportWidth(int width);
  void setCardHeight(int height);

  [[nodiscard]] bool isSectioned() const { return m_sectioned; }
  [[nodiscard]] std::size_t sectionCount() const { return m_sections.size(); }
  [[nodiscard]] int columns() const { return m_columns; }
  /// The width a grid has inside its paddings, which decides the column count.
  [[nodiscard]] int gridWidth() const;
  [[nodiscard]] int cardWidth() const;
  [[nodiscard]] int cardHeight() const { return m_cardHeight; }
  [[nodiscard]] int contentHeight() const { return m_contentHeight; }

  /// The top of a month's header; the top of its padded grid block; the block's bottom.
  [[nodiscard]] int headerTop(std::size_t section) const;
  [[nodiscard]] int gridTop(std::size_t section) const;
  [[nodiscard]] int blockBottom(std::size_t section) const;
  [[nodiscard]] QRect cardRect(std::size_t section, std::size_t offset) const;
  /// The cards whose rows meet the content band [top, bottom), in display order.
  [[nodiscard]] std::vector<Placement> placementsIn(int top, int bottom) const;

  /// The month the view at `scrollY` is in: the last whose grid top is at most 40 below
  /// the view's top, else the first; none without months.
  [[nodiscard]] std::optional<std::size_t> currentSection(int scrollY) const;
  /// The month whose header is pinned: the last whose header top is at most 1 below the
  /// view's top; none at the very top and in the member-count layout.
  [[nodiscard]] std::optional<std::size_t> pinnedSection(int scrollY) const;
  /// The scroll position that brings a month's header to the top.
  [[nodiscard]] int sectionScrollTarget(std::size_t section, int viewportHeight) const;
  /// The scroll position that puts a card's centre in the middle of the view.
  [[nodiscard]] int centerScrollTarget(std::size_t section, std::size_t offset,
                                       int viewportHeight) const;
  [[nodiscard]] int maxScroll(int viewportHeight) const;

private:
  struct Section {
    std::size_t count = 0;
    int headerTop = 0;
    int gridTop = 0;
    int blockBottom = 0;
  };

  void relayout();
  [[nodiscard]] int rowsOf(std::size_t count) const;
  [[nodiscard]] int firstCardTop(std::size_t section) const;

  std::vector<Section> m_sections;
  bool m_sectioned = true;
  int m_viewportWidth = 0;
  int m_cardHeight = 1;
  int m_columns = 1;
  int m_contentHeight = 0;
};

} // namespace lumora
