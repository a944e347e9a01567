#include "app/results/ResultsLayout.h"

#include <algorithm>
#include <cmath>

namespace lumora {

int ResultsLayout::columnCount(double gridWidth) {
  // n columns of 300 with 17 gaps of 18 fit exactly when n × 318 ≤ width + 18.
  if (!(gridWidth > 0)) {
    return 1;
  }
  const double n = std::trunc((gridWidth + kSpacing) / (kColumnMinWidth + kSpacing));
  return std::max(1, static_cast<int>(std::min(n, 1000.0)));
}

void ResultsLayout::setSections(std::vector<std::size_t> sizes, bool sectioned) {
  m_sectioned = sectioned;
  m_sections.clear();
  m_sections.reserve(sizes.size());
  for (const std::size_t count : sizes) {
    m_sections.push_back({count, 0, 0, 0});
  }
  relayout();
}

void ResultsLayout::setViewportWidth(int width) {
  if (width == m_viewportWidth) {
    return;
  }
  m_viewportWidth = width;
  relayout();
}

void ResultsLayout::setCardHeight(int height) {
  height = std::max(height, 1);
  if (height == m_cardHeight) {
    return;
  }
  m_cardHeight = height;
  relayout();
}

int ResultsLayout::gridWidth() const {
  const int padding = m_sectioned ? 2 * kGridSidePadding : 2 * kFlatPadding;
  return std::max(0, m_viewportWidth - kTrailingPadding - padding);
}

int ResultsLayout::cardWidth() const {
  return std::max(1, (gridWidth() - (m_columns - 1) * kSpacing) / m_columns);
}

int ResultsLayout::rowsOf(std::size_t count) const {
  return static_cast<int>((count + static_cast<std::size_t>(m_columns) - 1) /
                          static_cast<std::size_t>(m_columns));
}

// One pass of prefix sums over the months.
void ResultsLayout::relayout() {
  m_columns = columnCount(gridWidth());
  const auto rowsHeight = [this](std::size_t count) {
    const int rows = rowsOf(count);
    return rows == 0 ? 0 : rows * m_cardHeight + (rows - 1) * kSpacing;
  };
  if (!m_sectioned) {
    int y = 0;
    for (Section &section : m_sections) {
      section.headerTop = y;
      section.gridTop = y + kFlatPadding;
      section.blockBottom = section.gridTop + rowsHeight(section.count) + kFlatPadding;
      y = section.blockBottom;
    }
    m_contentHeight = y;
    return;
  }
  int y = kTopAnchorHeight;
  for (Section &section : m_sections) {
    section.headerTop = y + kSpacing;
    section.gridTop = section.headerTop + kHeaderHeight;
    section.blockBottom =
        section.gridTop + kGridTopPadding + rowsHeight(section.count) + kGridBottomPadding;
    y = section.blockBottom;
  }
  m_contentHeight = y;
}

int ResultsLayout::headerTop(std::size_t section) const { return m_sections[section].headerTop; }
int ResultsLayout::gridTop(std::size_t section) const { return m_sections[section].gridTop; }
int ResultsLayout::blockBottom(std::size_t section) const {
  return m_sections[section].blockBottom;
}

int ResultsLayout::firstCardTop(std::size_t section) const {
  return m_sections[section].gridTop + (m_sectioned ? kGridTopPadding : 0);
}

QRect ResultsLayout::cardRect(std::size_t section, std::size_t offset) const {
  const int row = static_cast<int>(offset / static_cast<std::size_t>(m_columns));
  const int column = static_cast<int>(offset % static_cast<std::size_t>(m_columns));
  const int left = m_sectioned ? kGridSidePadding : kFlatPadding;
  // Columns share the width evenly; rounding each edge keeps the gaps at 18 ± 1.
  const double stride = (gridWidth() + kSpacing) / static_cast<double>(m_columns);
  const int x0 = left + static_cast<int>(std::lround(column * stride));
  const int x1 = left + static_cast<int>(std::lround((column + 1) * stride)) - kSpacing;
  const int y = firstCardTop(section) + row * (m_cardHeight + kSpacing);
  return QRect(x0, y, std::max(1, x1 - x0), m_cardHeight);
}

std::vector<ResultsLayout::Placement> ResultsLayout::placementsIn(int top, int bottom) const {
  std::vector<Placement> out;
  // The first month whose block reaches below `top`.
  auto it = std::upper_bound(m_sections.begin(), m_sections.end(), top,
                             [](int y, const Section &s) { return y < s.blockBottom; });
  const int rowStride = m_cardHeight + kSpacing;
  for (; it != m_sections.end(); ++it) {
    const std::size_t s = static_cast<std::size_t>(it - m_sections.begin());
    const int cardsTop = firstCardTop(s);
    if (cardsTop >= bottom) {
      break;
    }
    const int rows = rowsOf(it->count);
    const int firstRow = std::clamp((top - cardsTop) / rowStride - 1, 0, rows);
    for (int row = firstRow; row < rows; ++row) {
      const int rowTop = cardsTop + row * rowStride;
      if (rowTop >= bottom) {
        break;
      }
      if (rowTop + m_cardHeight <= top) {
        continue;
      }
      const std::size_t first = static_cast<std::size_t>(row) * static_cast<std::size_t>(m_columns);
      const std::size_t last = std::min(it->count, first + static_cast<std::size_t>(m_columns));
      for (std::size_t offset = first; offset < last; ++offset) {
        out.push_back({s, offset, cardRect(s, offset)});
      }
    }
  }
  return out;
}

std::optional<std::size_t> ResultsLayout::currentSection(int scrollY) const {
  if (m_sections.empty()) {
    return std::nullopt;
  }
  const int limit = scrollY + kCurrentMonthThreshold;
  const auto it = std::upper_bound(m_sections.begin(), m_sections.end(), limit,
                                   [](int y, const Section &s) { return y < s.gridTop; });
  if (it == m_sections.begin()) {
    return 0;
  }
  return static_cast<std::size_t>(it - m_sections.begin()) - 1;
}

std::optional<std::size_t> ResultsLayout::pinnedSection(int scrollY) const {
  if (!m_sectioned || m_sections.empty()) {
    return std::nullopt;
  }
  const double limit = scrollY + kPinThreshold;
  const auto it = std::upper_bound(m_sections.begin(), m_sections.end(), limit,
                                   [](double y, const Section &s) { return y < s.headerTop; });
  if (it == m_sections.begin()) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(it - m_sections.begin()) - 1;
}

int ResultsLayout::maxScroll(int viewportHeight) const {
  return std::max(0, m_contentHeight - viewportHeight);
}

int ResultsLayout::sectionScrollTarget(std::size_t section, int viewportHeight) const {
  return std::clamp(m_sections[section].headerTop, 0, maxScroll(viewportHeight));
}

int ResultsLayout::centerScrollTarget(std::size_t section, std::size_t offset,
                                      int viewportHeight) const {
  const QRect rect = cardRect(section, offset);
  const int target = rect.center().y() - viewportHeight / 2;
  return std::clamp(target, 0, maxScroll(viewportHeight));
}

} // namespace lumora
