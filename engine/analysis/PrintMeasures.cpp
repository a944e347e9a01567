#include "engine/analysis/PrintMeasures.h"

#include "engine/analysis/PageTint.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace lumora::printmeasures {

namespace {

constexpr int kPrintBlock = 16;
/// How much a line of letters varies along itself at the least: the mean step between
/// neighbouring pixels as a share of its block's range.
constexpr float kLetterActivity = 0.1f;
/// The same beside a rule, which sets the block's range: the letters next to it are fainter.
constexpr float kRuledLetterActivity = 0.05f;

/// Grey statistics of one block: range, mean, spread, and how much its row means and its
/// column means vary.
struct BlockProfile {
  std::array<int, kPrintBlock> rows{}, columns{}; ///< sums along each row and column
  int low = 255, high = 0;
  float mean = 0, deviation = 0, rowSpread = 0, columnSpread = 0;
  int rowCrossings = 0, columnCrossings = 0;
  int darkestRow = 0, darkestColumn = 0;
};

/// The spread of the line means of `sums` about `mean`, leaving out line `skip` (none when it
/// is out of range).
float lineSpread(const std::array<int, kPrintBlock> &sums, float mean, int skip) {
  float total = 0;
  for (int i = 0; i < kPrintBlock; ++i) {
    const float d = sums[static_cast<std::size_t>(i)] / float(kPrintBlock) - mean;
    total += i == skip ? 0.0f : d * d;
  }
  return total / static_cast<float>(kPrintBlock - (skip >= 0 && skip < kPrintBlock));
}

/// The darkest line of `sums` two or more lines away from line `darkest`.
int nextDarkest(const std::array<int, kPrintBlock> &sums, int darkest) {
  int best = darkest < 2 ? kPrintBlock - 1 : 0;
  for (int i = 0; i < kPrintBlock; ++i)
    if (std::abs(i - darkest) >= 2 &&
        sums[static_cast<std::size_t>(i)] < sums[static_cast<std::size_t>(best)])
      best = i;
  return best;
}

/// How often a profile of sums crosses its mean: 1 for a single edge, 2 or more for a band
/// (a line of print between gaps).
int crossings(const std::array<int, kPrintBlock> &sums, float mean) {
  int count = 0;
  bool above = sums[0] >= mean * kPrintBlock;
  for (int sum : sums) {
    const bool now = sum >= mean * kPrintBlock;
    count += now != above;
    above = now;
  }
  return count;
}

BlockProfile profileBlock(const std::uint8_t *top, int stride) {
  BlockProfile p;
  std::array<int, kPrintBlock> &rows = p.rows, &columns = p.columns;
  // Sums in locals and one row at a time: the compiler keeps them in vector registers (stores
  // through the profile would alias the pixels, which are bytes).
  std::array<int, kPrintBlock> columnSums{};
  std::uint8_t low = 255, high = 0;
  std::uint32_t squares = 0;
  for (int y = 0; y < kPrintBlock; ++y) {
    const std::uint8_t *row = top + static_cast<std::size_t>(y) * stride;
    int rowSum = 0;
    for (int x = 0; x < kPrintBlock; ++x) {
      const std::uint8_t v = row[x];
      low = std::min(low, v);
      high = std::max(high, v);
      rowSum += v;
      columnSums[static_cast<std::size_t>(x)] += v;
      squares += static_cast<std::uint32_t>(v) * v;
    }
    rows[static_cast<std::size_t>(y)] = rowSum;
  }
  columns = columnSums;
  p.low = low;
  p.high = high;
  int sum = 0;
  for (int r : rows)
    sum += r;
  constexpr float n = kPrintBlock * kPrintBlock;
  p.mean = static_cast<float>(sum) / n;
  p.deviation = std::sqrt(std::max(0.0f, static_cast<float>(squares) / n - p.mean * p.mean));
  p.rowSpread = lineSpread(rows, p.mean, -1);
  p.columnSpread = lineSpread(columns, p.mean, -1);
  p.rowCrossings = crossings(rows, p.mean);
  p.columnCrossings = crossings(columns, p.mean);
  p.darkestRow = static_cast<int>(std::min_element(rows.begin(), rows.end()) - rows.begin());
  p.darkestColumn =
      static_cast<int>(std::min_element(columns.begin(), columns.end()) - columns.begin());
  return p;
}

/// The most opponent colour a block of paper at mean grey `mean` shows (a page under warm or
/// cool light is tinted a little, the more the brighter it is).
constexpr float neutralTint(float mean) { return 6.0f + 0.05f * mean; }
constexpr float kMostTint = neutralTint(255.0f);

/// Blank paper, a block of printed lines, a block of lines crossed or underlined by a rule (a
/// table's cell, a stave with its notes), or something else.
enum class BlockKind : std::uint8_t { other, paper, text, ruledText };

/// Whether line `index` of a block (a row when `rows`, else a column) alternates between ink
/// and gaps as a row of letters does; the edge of a plank or a building's ledge stays even.
bool lettersAlong(const std::uint8_t *top, int stride, bool rows, int index, float range,
                  float least = kLetterActivity) {
  const std::uint8_t *start = rows ? top + static_cast<std::size_t>(index) * stride : top + index;
  const std::size_t step = rows ? 1 : static_cast<std::size_t>(stride);
  int activity = 0;
  for (int i = 1; i < kPrintBlock; ++i)
    activity += std::abs(start[i * step] - start[(i - 1) * step]);
  return static_cast<float>(activity) >= least * range * (kPrintBlock - 1);
}

/// Lines of print along rows (`rows`) or columns of a block, with a rule allowed: a rule across
/// them is left out of their spread, and letters may run along the line next to a rule.
bool ruledLines(const BlockProfile &p, const std::uint8_t *top, int stride, bool rows,
                float range) {
  const float lines = rows ? p.rowSpread : p.columnSpread;
  const float across = rows ? lineSpread(p.columns, p.mean, p.darkestColumn)
                            : lineSpread(p.rows, p.mean, p.darkestRow);
  const int bands = rows ? p.rowCrossings : p.columnCrossings;
  if (lines < 2.5f * across || lines < 4.0f || bands < 2)
    return false;
  const int darkest = rows ? p.darkestRow : p.darkestColumn;
  return lettersAlong(top, stride, rows, darkest, range) ||
         lettersAlong(top, stride, rows, nextDarkest(rows ? p.rows : p.columns, darkest), range,
                      kRuledLetterActivity);
}

/// Lines of print among the rows or the columns of a block whose profile is `p`, with or
/// without a rule among them; `other` when there are none.
BlockKind printIn(const BlockProfile &p, const std::uint8_t *top, int stride, float range) {
  const bool rowsLead = p.rowSpread >= p.columnSpread;
  const float lines = rowsLead ? p.rowSpread : p.columnSpread;
  const float across = rowsLead ? p.columnSpread : p.rowSpread;
  const int bands = rowsLead ? p.rowCrossings : p.columnCrossings;
  if (lines >= 2.5f * across && lines >= 4.0f && bands >= 2 &&
      lettersAlong(top, stride, rowsLead, rowsLead ? p.darkestRow : p.darkestColumn, range))
    return BlockKind::text;
  return ruledLines(p, top, stride, true, range) || ruledLines(p, top, stride, false, range)
             ? BlockKind::ruledText
             : BlockKind::other;
}

/// Slopes (tangents of 5° to 25°) in order of angle, tried on a block whose lines do not run
/// along its rows or columns: the page was photographed turned.
constexpr std::array<float, 10> kSlopes{-0.466f, -0.364f, -0.268f, -0.176f, -0.087f,
                                        0.087f,  0.176f,  0.268f,  0.364f,  0.466f};
constexpr int kSlants = 2 * static_cast<int>(kSlopes.size()); ///< slopes along rows, then columns

/// One block of a grey plane, straightened for lines at `slope`: with `rows`, each column is
/// moved up or down so that lines rising at that slope lie along the rows; otherwise each row
/// is moved sideways so that lines leaning at that slope lie along the columns. False when
/// the moved block would leave the plane.
bool straightened(const std::uint8_t *grey, int width, int height, int x0, int y0, float slope,
                  bool rows, std::array<std::uint8_t, kPrintBlock * kPrintBlock> &out) {
  const int reach = static_cast<int>(std::lround(std::abs(slope) * (kPrintBlock - 1) * 0.5f));
  if (rows ? y0 < reach || y0 + kPrintBlock + reach > height
           : x0 < reach || x0 + kPrintBlock + reach > width)
    return false;
  const auto stride = static_cast<std::size_t>(width);
  for (int i = 0; i < kPrintBlock; ++i) {
    const int shift = static_cast<int>(std::lround(slope * (static_cast<float>(i) - 7.5f)));
    if (rows) {
      const std::uint8_t *column = grey + static_cast<std::size_t>(y0 + shift) * stride + x0 + i;
      for (int j = 0; j < kPrintBlock; ++j)
        out[static_cast<std::size_t>(j * kPrintBlock + i)] = column[j * stride];
    } else {
      const std::uint8_t *row = grey + static_cast<std::size_t>(y0 + i) * stride + x0 + shift;
      std::copy(row, row + kPrintBlock, out.begin() + i * kPrintBlock);
    }
  }
  return true;
}

/// What one block holds: its kind as it lies; for a block that shows no print so and no lines
/// along its rows or columns either, whether it may show print at a slant, and the slant
/// (index in kSlopes order along rows, then along columns) at which it reads most clearly as
/// lines of print, -1 for none, and whether they are ruled there.
struct BlockReading {
  BlockKind kind = BlockKind::other;
  bool slanted = false;
  int slant = -1;
  bool ruled = false;
};

/// Whether a block is mostly light with dark strokes, as print on paper is: a clear range of
/// grey, its mean nearer the light end.
bool darkStrokesOnPaper(const BlockProfile &p) {
  const float range = static_cast<float>(p.high - p.low);
  return range >= 24.0f && static_cast<float>(p.high) - p.mean <= 0.4f * range;
}

/// How clearly a block's profile shows lines: the spread of its leading lines' means over
/// that of the lines across them.
float lineClarity(const BlockProfile &p) {
  const float lines = std::max(p.rowSpread, p.columnSpread);
  const float across = std::min(p.rowSpread, p.columnSpread);
  return lines / std::max(across, 0.5f);
}

/// One kPrintBlock block of the grey plane (`width` wide) at `top`, whose opponent colour after
/// the light's cast is `tint`: blank paper (neutral and smooth but for noise up to `smooth`),
/// a block of printed lines (with or without a rule among them), or something else, which
/// may show print at a slant.
BlockReading classifyBlock(const std::uint8_t *top, int width, float tint, float smooth) {
  BlockReading reading;
  // Colourful blocks are skipped before their grey is read: paper is neutral at any grey.
  if (tint > kMostTint)
    return reading;
  const BlockProfile p = profileBlock(top, width);
  if (p.high < 60 || tint > neutralTint(p.mean))
    return reading;
  if (p.deviation <= smooth) {
    reading.kind = BlockKind::paper;
    return reading;
  }
  if (!darkStrokesOnPaper(p))
    return reading;
  reading.kind = printIn(p, top, width, static_cast<float>(p.high - p.low));
  // Lines along the rows or columns that are not print (a pole, a plank's edge) are not
  // print at a slant either.
  reading.slanted = reading.kind == BlockKind::other && lineClarity(p) < 2.5f;
  return reading;
}

/// The slants of `slants` (bits) at which the block at (x0, y0) of the grey plane reads as
/// lines of print: the clearest of them goes into `reading`.
void readSlants(const std::uint8_t *grey, int width, int height, int x0, int y0,
                std::uint32_t slants, BlockReading &reading) {
  std::array<std::uint8_t, kPrintBlock * kPrintBlock> block{};
  float clearest = 0;
  for (int slant = 0; slant < kSlants; ++slant) {
    const bool rows = slant < static_cast<int>(kSlopes.size());
    const float slope = kSlopes[static_cast<std::size_t>(slant) % kSlopes.size()];
    if ((slants >> slant & 1u) == 0 ||
        !straightened(grey, width, height, x0, y0, slope, rows, block))
      continue;
    const BlockProfile q = profileBlock(block.data(), kPrintBlock);
    const float clarity = lineClarity(q);
    if (clarity <= clearest || !darkStrokesOnPaper(q))
      continue;
    const BlockKind kind =
        printIn(q, block.data(), kPrintBlock, static_cast<float>(q.high - q.low));
    if (kind != BlockKind::other) {
      clearest = clarity;
      reading.slant = slant;
      reading.ruled = kind == BlockKind::ruledText;
    }
  }
}

/// The slants within one step of `slant` in the same direction, as bits.
std::uint32_t slantsNear(int slant) {
  const int count = static_cast<int>(kSlopes.size());
  const int first = slant / count * count, last = first + count - 1;
  std::uint32_t near = 0;
  for (int s = std::max(first, slant - 1); s <= std::min(last, slant + 1); ++s)
    near |= 1u << s;
  return near;
}

/// Reads the blocks that may show print at a slant and settles which of them do. The lines of a
/// turned page read most clearly at one slant all over it (or a neighbouring one where it is
/// seen at a slant), marks in a scene at scattered ones, so blocks count as print only near
/// the slant most of them share. Every slant is tried on every other such block (as on a
/// chessboard), which is enough to find the page's; the rest try only the slants near it.
std::vector<BlockKind> settleSlants(std::vector<BlockReading> &readings, const ImagePlanes &planes,
                                    int blocksWide) {
  const std::uint8_t *grey = planes.grey().data();
  const int width = planes.width(), height = planes.height();
  const auto read = [&](std::size_t b, std::uint32_t slants) {
    const int bx = static_cast<int>(b) % blocksWide, by = static_cast<int>(b) / blocksWide;
    readSlants(grey, width, height, bx * kPrintBlock, by * kPrintBlock, slants, readings[b]);
  };
  constexpr std::uint32_t kEverySlant = (1u << kSlants) - 1;
  std::array<int, kSlants> votes{};
  for (std::size_t b = 0; b < readings.size(); ++b) {
    const int bx = static_cast<int>(b) % blocksWide, by = static_cast<int>(b) / blocksWide;
    if (!readings[b].slanted || (bx + by) % 2 != 0)
      continue;
    read(b, kEverySlant);
    if (readings[b].slant >= 0)
      ++votes[static_cast<std::size_t>(readings[b].slant)];
  }
  const int main = static_cast<int>(std::max_element(votes.begin(), votes.end()) - votes.begin());
  const std::uint32_t allowed = votes[static_cast<std::size_t>(main)] > 0 ? slantsNear(main) : 0;
  std::vector<BlockKind> kinds(readings.size(), BlockKind::other);
  for (std::size_t b = 0; b < readings.size(); ++b) {
    BlockReading &r = readings[b];
    const int bx = static_cast<int>(b) % blocksWide, by = static_cast<int>(b) / blocksWide;
    if (r.slanted && allowed != 0 && (bx + by) % 2 != 0)
      read(b, allowed);
    const bool near = r.slant >= 0 && (allowed >> r.slant & 1u) != 0;
    kinds[b] = r.kind != BlockKind::other ? r.kind
               : !near                    ? BlockKind::other
               : r.ruled                  ? BlockKind::ruledText
                                          : BlockKind::text;
  }
  return kinds;
}

/// Lines of print, ruled or not.
constexpr bool isPrint(BlockKind k) { return k == BlockKind::text || k == BlockKind::ruledText; }

/// How many of the four neighbours of block (bx, by) are of a kind that `counts` (outside the
/// frame counts as none).
template <typename Counts>
int neighbours(const std::vector<BlockKind> &kinds, int blocksWide, int blocksHigh, int bx, int by,
               Counts counts) {
  int count = 0;
  const int offsets[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
  for (const auto &o : offsets) {
    const int x = bx + o[0], y = by + o[1];
    if (x < 0 || y < 0 || x >= blocksWide || y >= blocksHigh)
      continue;
    count += counts(kinds[static_cast<std::size_t>(y) * blocksWide + x]);
  }
  return count;
}

/// A patch of print: its blocks of print, its size (print and the paper beside it), and the
/// lesser side and the area, in blocks, of the box around its print.
struct PrintPatch {
  int print = 0, size = 0, span = 0, box = 0;
};

/// The patch of print and paper (blocks of those kinds joined through their sides or corners:
/// the lines of a turned page meet block corners) with the most print. A page's lines lie
/// together on it, however small it is in the frame, with paper between and around them; marks
/// that look like print in a scene lie apart, among things that are neither, and a texture that
/// reads as print all over has no paper among it.
PrintPatch largestPrintPatch(const std::vector<BlockKind> &kinds, int blocksWide, int blocksHigh) {
  std::vector<int> patch(kinds.size(), -1);
  std::vector<int> stack;
  PrintPatch largest;
  for (std::size_t start = 0; start < kinds.size(); ++start) {
    if (kinds[start] == BlockKind::other || patch[start] >= 0)
      continue;
    PrintPatch found;
    int left = blocksWide, right = -1, top = blocksHigh, bottom = -1;
    patch[start] = static_cast<int>(start);
    stack.assign(1, static_cast<int>(start));
    while (!stack.empty()) {
      const int b = stack.back();
      stack.pop_back();
      const int bx = b % blocksWide, by = b / blocksWide;
      if (isPrint(kinds[static_cast<std::size_t>(b)])) {
        ++found.print;
        ++found.size;
        left = std::min(left, bx);
        right = std::max(right, bx);
        top = std::min(top, by);
        bottom = std::max(bottom, by);
      } else {
        found.size += neighbours(kinds, blocksWide, blocksHigh, bx, by, isPrint) > 0;
      }
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
          const int x = bx + dx, y = by + dy;
          if (x < 0 || y < 0 || x >= blocksWide || y >= blocksHigh)
            continue;
          const auto n = static_cast<std::size_t>(y) * blocksWide + x;
          if (kinds[n] == BlockKind::other || patch[n] >= 0)
            continue;
          patch[n] = static_cast<int>(start);
          stack.push_back(static_cast<int>(n));
        }
      }
    }
    found.span = found.print == 0 ? 0 : std::min(right - left, bottom - top) + 1;
    found.box = found.print == 0 ? 0 : (right - left + 1) * (bottom - top + 1);
    if (found.print > largest.print)
      largest = found;
  }
  return largest;
}

} // namespace

/// Printed text and blank paper, from kPrintBlock blocks of the full grey plane. A page,
/// photographed or scanned, is neutral; a block of text on it is mostly bright with a few dark
/// strokes, and its strokes lie along lines, so that its row means vary far more than its
/// column means (or the other way round on a page turned on its side). Blank paper is smooth
/// but for the sensor's noise. Photographs have such blocks too (a window in a white wall,
/// twigs against snow), but seldom many.
void measure(const ImagePlanes &planes, QualityMeasures &m) {
  const int blocksWide = planes.width() / kPrintBlock, blocksHigh = planes.height() / kPrintBlock;
  if (blocksWide == 0 || blocksHigh == 0)
    return;
  const std::vector<float> chroma =
      pagetint::blockChroma(planes, kPrintBlock, blocksWide, blocksHigh);
  const float smooth = 2.0f + 2.0f * m.noise;
  std::vector<BlockReading> readings(static_cast<std::size_t>(blocksWide) * blocksHigh);
  for (int by = 0; by < blocksHigh; ++by) {
    for (int bx = 0; bx < blocksWide; ++bx) {
      const std::size_t b = static_cast<std::size_t>(by) * blocksWide + bx;
      const std::uint8_t *top = planes.grey().data() +
                                static_cast<std::size_t>(by) * kPrintBlock * planes.width() +
                                bx * kPrintBlock;
      readings[b] = classifyBlock(top, planes.width(), chroma[b], smooth);
    }
  }
  const std::vector<BlockKind> kinds = settleSlants(readings, planes, blocksWide);
  const auto page = [](BlockKind k) { return k == BlockKind::text || k == BlockKind::paper; };
  int text = 0, paper = 0, textOnPage = 0, ruledOnPage = 0;
  for (int by = 0; by < blocksHigh; ++by) {
    for (int bx = 0; bx < blocksWide; ++bx) {
      const std::size_t b = static_cast<std::size_t>(by) * blocksWide + bx;
      const BlockKind kind = kinds[b], asItLies = readings[b].kind;
      paper += kind == BlockKind::paper;
      if (isPrint(asItLies))
        ruledOnPage += neighbours(kinds, blocksWide, blocksHigh, bx, by,
                                  [](BlockKind k) { return k != BlockKind::other; }) == 4 &&
                       neighbours(kinds, blocksWide, blocksHigh, bx, by, isPrint) >= 2;
      if (kind != BlockKind::text)
        continue;
      text += asItLies == BlockKind::text;
      textOnPage += neighbours(kinds, blocksWide, blocksHigh, bx, by, page) >= 3;
    }
  }
  const auto blocks = static_cast<float>(blocksWide * blocksHigh);
  m.printedText = static_cast<float>(text) / blocks;
  m.plainPaper = static_cast<float>(paper) / blocks;
  m.printOnPage = static_cast<float>(textOnPage) / blocks;
  m.ruledOnPage = static_cast<float>(ruledOnPage) / blocks;
  const PrintPatch patch = largestPrintPatch(kinds, blocksWide, blocksHigh);
  m.printPatch = static_cast<float>(patch.print) / blocks;
  m.printPatchDensity =
      patch.size == 0 ? 0.0f : static_cast<float>(patch.print) / static_cast<float>(patch.size);
  m.printPatchSpan = static_cast<float>(patch.span);
  m.printPatchFill =
      patch.box == 0 ? 0.0f : static_cast<float>(patch.print) / static_cast<float>(patch.box);
}

} // namespace lumora::printmeasures
