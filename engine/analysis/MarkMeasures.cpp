#include "engine/analysis/MarkMeasures.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace lumora::markmeasures {

namespace {

/// Marks are read in 16-pixel squares of the thumbnail: a line or two of letters.
constexpr int kMarkBlock = 16;
/// The least difference between marks and their ground.
constexpr int kMarkContrast = 48;
/// How far a ground pixel may lie from the darkest or brightest grey of its block: a fifth of
/// the block's range, within these bounds. Compression and the thumbnail's sharp resampling
/// ring around letters, past the ground's grey on both sides.
constexpr int kLeastGroundTolerance = 8, kMostGroundTolerance = 32;
/// At least half of a block of marks is plain ground.
constexpr int kLeastGround = kMarkBlock * kMarkBlock / 2;
/// Marks spread along the rows cover this many columns at least, and this many pixels of one
/// row: a line of letters or a rule does, stars and dots scattered over a block seldom.
constexpr int kLeastSpreadColumns = 6;
constexpr int kLeastMarksInARow = 6;
/// Grounds of neighbouring blocks of one panel differ by no more than this.
constexpr int kSameGround = 12;

/// Edges of the small grey plane (a third or a quarter of the thumbnail's side) count as
/// straight when the grey steps by this much across them, stays within kAlongTolerance along
/// both sides, and does so for kLeastRun pixels or more. An edge that falls inside one
/// averaged pixel steps by half its height on either side of it.
constexpr float kEdgeStep = 16.0f;
constexpr float kAlongTolerance = 1.5f;
constexpr int kLeastRun = 6;

/// A block of marks spread along the rows, and the grey of its ground.
struct MarkBlock {
  bool spread = false;
  int ground = 0;
};

/// One row of a block as a vector of 16 bytes (GCC's and Clang's vector extension: the
/// compiler uses the target's vector instructions where it has them).
using Row = std::uint8_t __attribute__((vector_size(kMarkBlock)));
using RowMask = std::int8_t __attribute__((vector_size(kMarkBlock)));

Row loadRow(const std::uint8_t *p) {
  Row row;
  std::memcpy(&row, p, sizeof row);
  return row;
}

/// `v` in every lane.
Row splat(int v) { return Row{} + static_cast<std::uint8_t>(v); }

/// The sum of the lanes of `v`, each a count of at most kMarkBlock.
int laneSum(RowMask v) {
  int sum = 0;
  for (int i = 0; i < kMarkBlock; ++i)
    sum += v[i];
  return sum;
}

/// The rows of the block whose top-left pixel is `top` (rows `stride` apart), with its darkest
/// and brightest grey.
struct BlockRows {
  std::array<Row, kMarkBlock> rows;
  int darkest = 255, brightest = 0;
};

BlockRows blockRows(const std::uint8_t *top, int stride) {
  BlockRows block;
  Row low = loadRow(top), high = low;
  for (int y = 0; y < kMarkBlock; ++y) {
    const Row row = loadRow(top + static_cast<std::ptrdiff_t>(y) * stride);
    block.rows[static_cast<std::size_t>(y)] = row;
    low = row < low ? row : low;
    high = row > high ? row : high;
  }
  for (int i = 0; i < kMarkBlock; ++i) {
    block.darkest = std::min<int>(block.darkest, low[i]);
    block.brightest = std::max<int>(block.brightest, high[i]);
  }
  return block;
}

/// Reads the block whose top-left pixel is `top` (rows `stride` apart). The ground is the side
/// (darkest or brightest greys) that more pixels lie near, and it must take half the block;
/// marks are the pixels past the middle grey from it.
MarkBlock readMarkBlock(const std::uint8_t *top, int stride) {
  const auto [rows, darkest, brightest] = blockRows(top, stride);
  if (brightest - darkest < kMarkContrast)
    return {};
  const int tolerance =
      std::clamp((brightest - darkest) / 5, kLeastGroundTolerance, kMostGroundTolerance);
  const Row nearDark = splat(darkest + tolerance);
  const Row nearBright = splat(brightest - tolerance);
  // Comparisons give −1 in each lane that holds: the sums count down.
  RowMask inDark{}, inBright{};
  for (const Row &row : rows) {
    inDark += static_cast<RowMask>(row <= nearDark);
    inBright += static_cast<RowMask>(row >= nearBright);
  }
  const int nearLow = -laneSum(inDark), nearHigh = -laneSum(inBright);
  const bool darkGround = nearLow >= nearHigh;
  if (std::max(nearLow, nearHigh) < kLeastGround)
    return {};
  const Row middle = splat((darkest + brightest) / 2);
  RowMask columns{};
  int fullestRow = 0;
  for (const Row &row : rows) {
    const RowMask mark = static_cast<RowMask>(darkGround ? row > middle : row < middle);
    columns |= mark;
    fullestRow = std::max(fullestRow, -laneSum(mark));
  }
  const bool spread = -laneSum(columns) >= kLeastSpreadColumns && fullestRow >= kLeastMarksInARow;
  return {spread, darkGround ? darkest : brightest};
}

/// The share of blocks of marks spread along the rows that have another such block beside
/// them on the same ground: lines of letters and rules on a panel of any grey, light on dark
/// or dark on light.
float markLines(const ImagePlanes &planes) {
  const int wide = planes.width() / kMarkBlock, high = planes.height() / kMarkBlock;
  if (wide == 0 || high == 0)
    return 0;
  std::vector<MarkBlock> blocks(static_cast<std::size_t>(wide) * high);
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    const auto bx = static_cast<std::size_t>(b % static_cast<std::size_t>(wide));
    const auto by = static_cast<std::size_t>(b / static_cast<std::size_t>(wide));
    blocks[b] = readMarkBlock(
        planes.grey().data() + by * kMarkBlock * planes.width() + bx * kMarkBlock, planes.width());
  }
  const auto mates = [](const MarkBlock &a, const MarkBlock &b) {
    return b.spread && std::abs(a.ground - b.ground) <= kSameGround;
  };
  int lines = 0;
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    const auto bx = static_cast<int>(b % static_cast<std::size_t>(wide));
    lines += blocks[b].spread && ((bx > 0 && mates(blocks[b], blocks[b - 1])) ||
                                  (bx + 1 < wide && mates(blocks[b], blocks[b + 1])));
  }
  return static_cast<float>(lines) / static_cast<float>(blocks.size());
}

/// The run of a straight edge along one pair of lines.
struct EdgeRun {
  int length = 0, sign = 0;

  /// Extends the run with the edge from `a` to `b`, whose sides are `flatAlong` from the last
  /// pixel, or ends it; returns the pixels of a long enough run that ended.
  int advance(float a, float b, bool flatAlong) {
    const int step = static_cast<int>(b - a >= kEdgeStep) - static_cast<int>(a - b >= kEdgeStep);
    const bool continues = (length > 0) & (step == sign) & flatAlong;
    const int ended = continues || length < kLeastRun ? 0 : length;
    length = continues ? length + 1 : static_cast<int>(step != 0);
    sign = step;
    return ended;
  }
  int finish() {
    const int ended = length >= kLeastRun ? length : 0;
    length = 0;
    return ended;
  }
};

bool within(float a, float b) { return std::abs(a - b) <= kAlongTolerance; }

/// Greys of the small plane are tested for steps eight at a time, as two vectors of four.
constexpr int kLanes = 8;
using Greys = float __attribute__((vector_size(4 * sizeof(float))));
using Steps = std::int32_t __attribute__((vector_size(4 * sizeof(float))));

/// Lanes (all bits set) where the four greys from `b` step by kEdgeStep or more from those
/// at `a`.
Steps stepsOfFour(const float *a, const float *b) {
  Greys from, to;
  std::memcpy(&from, a, sizeof from);
  std::memcpy(&to, b, sizeof to);
  const Greys d = to - from;
  return (d >= kEdgeStep) | (d <= -kEdgeStep);
}

/// True when one of the eight greys from `b` steps by kEdgeStep or more from those at `a`,
/// or one of the eight from `c` from those at `a`.
bool anyStep(const float *a, const float *b, const float *c) {
  const Steps steps =
      stepsOfFour(a, b) | stepsOfFour(a + 4, b + 4) | stepsOfFour(a, c) | stepsOfFour(a + 4, c + 4);
  std::uint64_t halves[2];
  std::memcpy(halves, &steps, sizeof halves);
  return (halves[0] | halves[1]) != 0;
}

/// True when none of the eight bytes at `p` is set.
bool noneSet(const std::uint8_t *p) {
  std::uint64_t word = 0;
  std::memcpy(&word, p, sizeof word);
  return word == 0;
}

/// Straight edges between `row` and the row `below` it (horizontal) and between neighbours
/// along `row` (vertical, each column pair's run in `columns`, `live` where one is under way),
/// `above` being the row read before.
std::size_t edgePixelsOfRow(const float *above, const float *row, const float *below, int w,
                            std::vector<EdgeRun> &columns, std::vector<std::uint8_t> &live) {
  std::size_t pixels = 0;
  EdgeRun along;
  for (int x = 0; x + 1 < w;) {
    const auto i = static_cast<std::size_t>(x);
    // Most stretches of a picture neither step nor follow an edge: skip them eight at a time.
    if (x + kLanes < w && along.length == 0 && noneSet(&live[i]) &&
        !anyStep(row + x, below + x, row + x + 1)) {
      x += kLanes;
      continue;
    }
    const int last = std::max(0, x - 1);
    pixels += static_cast<std::size_t>(
        along.advance(row[x], below[x], within(row[x], row[last]) & within(below[x], below[last])));
    pixels += static_cast<std::size_t>(columns[i].advance(
        row[x], row[x + 1], within(row[x], above[x]) & within(row[x + 1], above[x + 1])));
    live[i] = columns[i].length > 0;
    ++x;
  }
  return pixels + static_cast<std::size_t>(along.finish());
}

/// The share of pixels on long horizontal or vertical edges between two sides each flat along
/// the edge: the borders of panels, boxes and rules. A photograph's edges are seldom exactly
/// aligned with the frame, and their sides are textured. Read from the small grey plane, whose
/// averaging also smooths the ringing that compression leaves along such edges.
float straightEdges(const ImagePlanes &planes) {
  const ImagePlanes::Small &s = planes.small();
  const int w = s.width, h = s.height;
  if (w < 2 || h < 2)
    return 0;
  std::vector<EdgeRun> columns(static_cast<std::size_t>(w));
  std::vector<std::uint8_t> live(static_cast<std::size_t>(w) + kLanes, 0);
  std::size_t pixels = 0;
  for (int y = 0; y < h; ++y) {
    const float *row = &s.grey[static_cast<std::size_t>(y) * w];
    pixels +=
        edgePixelsOfRow(y > 0 ? row - w : row, row, y + 1 < h ? row + w : row, w, columns, live);
  }
  for (EdgeRun &run : columns)
    pixels += static_cast<std::size_t>(run.finish());
  return static_cast<float>(static_cast<double>(pixels) / (static_cast<double>(w) * h));
}

} // namespace

Marks measure(const ImagePlanes &planes) {
  return {.markLines = markLines(planes), .straightEdges = straightEdges(planes)};
}

} // namespace lumora::markmeasures
