#include "engine/analysis/SurroundMeasures.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace lumora::surroundmeasures {

namespace {

/// Greys of one surround within this many levels count as the surround (a re-saved desktop
/// wobbles by a level or two), and the outer ring must lie this much in it.
constexpr int kSurroundTolerance = 2;
constexpr float kLeastSurroundRing = 0.95f;
/// A row or column holds the box once this many of its pixels differ from the surround: a
/// stray speck of compression does not stretch it.
constexpr int kLeastOffPixels = 2;
/// The box's outline must differ from the surround nearly all round: a window is a rectangle,
/// a render's objects touch their bounding box at a few points.
constexpr float kLeastOutline = 0.9f;
/// Panels: pixels within a level of their right and lower neighbours.
constexpr int kPanelTolerance = 1;

/// The surround's grey: the most common grey of the outer ring, or −1 when the ring is not
/// nearly all of one grey.
int surroundGrey(const ImagePlanes &planes) {
  const int w = planes.width(), h = planes.height();
  const std::uint8_t *g = planes.grey().data();
  std::array<int, 256> counts{};
  std::vector<std::uint8_t> ring;
  ring.reserve(static_cast<std::size_t>(2 * (w + h)));
  for (int x = 0; x < w; ++x) {
    ring.push_back(g[x]);
    ring.push_back(g[static_cast<std::size_t>(h - 1) * w + x]);
  }
  for (int y = 1; y + 1 < h; ++y) {
    ring.push_back(g[static_cast<std::size_t>(y) * w]);
    ring.push_back(g[static_cast<std::size_t>(y) * w + w - 1]);
  }
  for (std::uint8_t v : ring)
    ++counts[v];
  const int grey =
      static_cast<int>(std::max_element(counts.begin(), counts.end()) - counts.begin());
  const auto near = std::count_if(ring.begin(), ring.end(), [grey](std::uint8_t v) {
    return std::abs(v - grey) <= kSurroundTolerance;
  });
  return static_cast<float>(near) >= kLeastSurroundRing * static_cast<float>(ring.size()) ? grey
                                                                                          : -1;
}

/// An upright box: first and last row and column.
struct Box {
  int left = 0, top = 0, right = -1, bottom = -1;
};

/// The box holding what differs from the surround grey `grey`; empty when nothing does.
Box contentBox(const ImagePlanes &planes, int grey) {
  const int w = planes.width(), h = planes.height();
  const std::uint8_t *g = planes.grey().data();
  std::vector<int> rows(static_cast<std::size_t>(h)), columns(static_cast<std::size_t>(w));
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const bool off = std::abs(g[static_cast<std::size_t>(y) * w + x] - grey) > kSurroundTolerance;
      rows[static_cast<std::size_t>(y)] += off;
      columns[static_cast<std::size_t>(x)] += off;
    }
  }
  const auto first = [](const std::vector<int> &c) {
    return static_cast<int>(
        std::find_if(c.begin(), c.end(), [](int n) { return n >= kLeastOffPixels; }) - c.begin());
  };
  const auto last = [](const std::vector<int> &c) {
    return static_cast<int>(c.rend() - std::find_if(c.rbegin(), c.rend(),
                                                    [](int n) { return n >= kLeastOffPixels; })) -
           1;
  };
  Box box{first(columns), first(rows), last(columns), last(rows)};
  if (box.right < box.left + 2 || box.bottom < box.top + 2)
    return {};
  return box;
}

/// How far inside the box its outline may lie: a window manager's grips below a dialog and a
/// re-save's ringing around it stretch the box by a pixel or two.
constexpr int kOutlineInset = 3;

/// The share of the box's outline that differs from the surround: for each side the best of
/// the lines up to `kOutlineInset` pixels inside it, averaged over the four sides.
float outlineShare(const ImagePlanes &planes, const Box &box, int grey) {
  const int w = planes.width();
  const std::uint8_t *g = planes.grey().data();
  const auto off = [&](int x, int y) {
    return std::abs(g[static_cast<std::size_t>(y) * w + x] - grey) > kSurroundTolerance;
  };
  const auto row = [&](int y) {
    int count = 0;
    for (int x = box.left; x <= box.right; ++x)
      count += off(x, y);
    return static_cast<float>(count) / static_cast<float>(box.right - box.left + 1);
  };
  const auto column = [&](int x) {
    int count = 0;
    for (int y = box.top; y <= box.bottom; ++y)
      count += off(x, y);
    return static_cast<float>(count) / static_cast<float>(box.bottom - box.top + 1);
  };
  std::array<float, 4> sides{};
  for (int i = 0; i <= kOutlineInset && 2 * i < box.bottom - box.top; ++i) {
    sides[0] = std::max(sides[0], row(box.top + i));
    sides[1] = std::max(sides[1], row(box.bottom - i));
  }
  for (int i = 0; i <= kOutlineInset && 2 * i < box.right - box.left; ++i) {
    sides[2] = std::max(sides[2], column(box.left + i));
    sides[3] = std::max(sides[3], column(box.right - i));
  }
  return (sides[0] + sides[1] + sides[2] + sides[3]) / 4.0f;
}

/// The share of the box's pixels within a level of their right and lower neighbours.
float panelShare(const ImagePlanes &planes, const Box &box) {
  const int w = planes.width();
  const std::uint8_t *g = planes.grey().data();
  int flat = 0, total = 0;
  for (int y = box.top; y < box.bottom; ++y) {
    const std::uint8_t *row = g + static_cast<std::size_t>(y) * w;
    for (int x = box.left; x < box.right; ++x, ++total) {
      flat += std::abs(row[x + 1] - row[x]) <= kPanelTolerance &&
              std::abs(row[x + w] - row[x]) <= kPanelTolerance;
    }
  }
  return total == 0 ? 0.0f : static_cast<float>(flat) / static_cast<float>(total);
}

} // namespace

float boxedPanels(const ImagePlanes &planes) {
  if (planes.width() < 8 || planes.height() < 8)
    return 0;
  const int grey = surroundGrey(planes);
  if (grey < 0)
    return 0;
  const Box box = contentBox(planes, grey);
  if (box.right < 0 || outlineShare(planes, box, grey) < kLeastOutline)
    return 0;
  return panelShare(planes, box);
}

} // namespace lumora::surroundmeasures
