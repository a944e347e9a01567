#include "engine/analysis/QualityMeasures.h"

#include "engine/analysis/MarkMeasures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>
#include <vector>

namespace lumora {

namespace {

void measureTones(const ImagePlanes &planes, QualityMeasures &m) {
  const std::vector<float> &grey = planes.small().grey;
  double sum = 0, sumSquares = 0;
  std::size_t dark = 0, bright = 0;
  for (float v : grey) {
    sum += v;
    sumSquares += static_cast<double>(v) * v;
    dark += v <= 3.5f;
    bright += v >= 244.5f;
  }
  const double n = static_cast<double>(grey.size());
  const double mean = sum / n;
  m.meanGrey = static_cast<float>(mean);
  m.contrast = static_cast<float>(std::sqrt(std::max(0.0, sumSquares / n - mean * mean)));
  m.clippedDark = static_cast<float>(dark / n);
  m.clippedBright = static_cast<float>(bright / n);
}

/// Colourfulness after Hasler and Süsstrunk, plus the share of page-like pixels.
void measureColour(const ImagePlanes &planes, QualityMeasures &m) {
  const ImagePlanes::Small &small = planes.small();
  double rg = 0, yb = 0, rg2 = 0, yb2 = 0;
  std::size_t paper = 0;
  const std::size_t n = small.grey.size();
  for (std::size_t i = 0; i < n; ++i) {
    const float a = small.redGreen[i], b = small.yellowBlue[i], g = small.grey[i];
    rg += a;
    yb += b;
    rg2 += static_cast<double>(a) * a;
    yb2 += static_cast<double>(b) * b;
    paper += g >= 200 && std::abs(a) < 12 && std::abs(b) < 12;
  }
  const double count = static_cast<double>(n);
  const double mrg = rg / count, myb = yb / count;
  const double spread =
      std::sqrt(std::max(0.0, rg2 / count - mrg * mrg) + std::max(0.0, yb2 / count - myb * myb));
  m.colourfulness = static_cast<float>(spread + 0.3 * std::sqrt(mrg * mrg + myb * myb));
  m.paper = static_cast<float>(static_cast<double>(paper) / count);
}

/// How much of the edge strength runs horizontally or vertically: nearly all of it in a
/// window or a page of text, about a fifth in a photograph or a drawing with curves.
void measureEdgeDirections(const ImagePlanes &planes, QualityMeasures &m) {
  const ImagePlanes::Small &s = planes.small();
  double total = 0, aligned = 0;
  for (int y = 1; y + 1 < s.height; ++y) {
    const float *row = &s.grey[static_cast<std::size_t>(y) * s.width];
    for (int x = 1; x + 1 < s.width; ++x) {
      const float gx = std::abs(row[x + 1] - row[x - 1]);
      const float gy = std::abs(row[x + s.width] - row[x - s.width]);
      const float strength = gx + gy;
      total += strength;
      // tan 10° ≈ 0.176
      if (gx <= 0.176f * gy || gy <= 0.176f * gx)
        aligned += strength;
    }
  }
  m.axisAligned = total > 0 ? static_cast<float>(aligned / total) : 0.0f;
}

/// Sensor noise from the response to a mask that cancels planes and straight edges (its
/// weights have unit-free norm 6). Edges and texture also respond, so the estimate is taken
/// from the quietest tenth of the samples: for Gaussian noise of deviation σ the 10th
/// percentile of |response| is 0.1257 × 6σ.
void measureNoise(const ImagePlanes &planes, QualityMeasures &m) {
  const int w = planes.width(), h = planes.height();
  const std::uint8_t *g = planes.grey().data();
  constexpr int kBins = 1024;
  constexpr int kBinsPerLevel = 1;
  std::array<std::uint32_t, kBins> histogram{};
  std::uint32_t n = 0;
  for (int y = 1; y < h - 1; y += 3) {
    const std::uint8_t *r0 = g + static_cast<std::size_t>(y - 1) * w;
    const std::uint8_t *r1 = r0 + w;
    const std::uint8_t *r2 = r1 + w;
    for (int x = 1; x < w - 1; x += 3) {
      const int response = (r0[x - 1] + r0[x + 1] + r2[x - 1] + r2[x + 1]) -
                           2 * (r0[x] + r1[x - 1] + r1[x + 1] + r2[x]) + 4 * r1[x];
      ++histogram[static_cast<std::size_t>(
          std::min(std::abs(response) * kBinsPerLevel, kBins - 1))];
      ++n;
    }
  }
  std::uint32_t seen = 0;
  int bin = 0;
  while (bin < kBins - 1 && seen + histogram[bin] < n / 10)
    seen += histogram[bin++];
  // Responses are whole numbers: spread each bin's count evenly over bin ± ½ to read the
  // percentile between them.
  const float within = histogram[bin] == 0
                           ? 0.0f
                           : static_cast<float>(n / 10 - seen) / static_cast<float>(histogram[bin]);
  const float decile =
      std::max(0.0f, static_cast<float>(bin) - 0.5f + within) / static_cast<float>(kBinsPerLevel);
  m.noise = n == 0 ? 0.0f : decile / (0.1257f * 6.0f);
}

template <int Bands> inline int samePixel(const std::uint8_t *a, const std::uint8_t *b) {
  int same = a[0] == b[0];
  for (int i = 1; i < Bands; ++i)
    same &= a[i] == b[i];
  return same;
}

/// Pixels whose every channel lies within 30 levels above kFringeLight (up to the white left
/// out of the flat ones), or whose every channel lies within 30 levels above kFringeDark (from
/// the black left out), fringe the black and white: a photograph's clipped sky or snow fades
/// through many of them, a window's blank white meets its lettering and lines in a step.
constexpr unsigned kFringeLight = 215, kFringeDark = 11;

/// The share of pixels (every second one of every second row) whose right and lower
/// neighbours have exactly the same value, leaving out black and white in every channel: those
/// are also what clipping leaves in a photograph (a navy or a pure red panel is neither). Also
/// the share with a clipped colour channel, which shows overexposure of saturated colours long
/// before grey clips; and the share of the black and white left out that is exactly flat, with
/// the share of their fringe beside it. Branch-free per band count: this runs over a quarter of
/// the thumbnail.
template <int Bands> void measureFlatness(const PixelView &image, QualityMeasures &m) {
  std::size_t flat = 0, n = 0, clippedChannel = 0, same = 0, fringe = 0;
  std::array<std::uint32_t, 256> flatByGrey{};
  for (int y = 0; y + 1 < image.height; y += 2) {
    const std::uint8_t *row = image.row(y);
    const std::uint8_t *below = image.row(y + 1);
    for (int x = 0; x + 1 < image.width; x += 2) {
      const std::size_t o = static_cast<std::size_t>(x) * Bands;
      const std::uint8_t *p = row + o;
      std::uint8_t darkest = p[0], brightest = p[0];
      if constexpr (Bands >= 3) {
        darkest = std::min({p[0], p[1], p[2]});
        brightest = std::max({p[0], p[1], p[2]});
      }
      const int unclipped = (brightest > 10) & (darkest < 245);
      int channel = p[0] >= 254;
      if constexpr (Bands >= 3)
        channel |= (p[1] >= 254) | (p[2] >= 254);
      clippedChannel += static_cast<std::size_t>(channel);
      const int isSame = samePixel<Bands>(p, p + Bands) & samePixel<Bands>(p, below + o);
      const int isFlat = unclipped & isSame;
      flat += static_cast<std::size_t>(isFlat);
      same += static_cast<std::size_t>(isSame);
      fringe += static_cast<std::size_t>((darkest - kFringeLight < 30u) |
                                         (brightest - kFringeDark < 30u));
      int grey = p[0];
      if constexpr (Bands >= 3)
        grey = (p[0] + 2 * p[1] + p[2]) >> 2;
      flatByGrey[static_cast<std::size_t>(grey)] += static_cast<std::uint32_t>(isFlat);
      ++n;
    }
  }
  std::partial_sort(flatByGrey.begin(), flatByGrey.begin() + 4, flatByGrey.end(), std::greater<>());
  const std::uint32_t few = flatByGrey[0] + flatByGrey[1] + flatByGrey[2] + flatByGrey[3];
  m.flatFewGreys = flat == 0 ? 0.0f : static_cast<float>(static_cast<double>(few) / flat);
  m.exactFlat = n == 0 ? 0.0f : static_cast<float>(static_cast<double>(flat) / n);
  m.clippedChannel = n == 0 ? 0.0f : static_cast<float>(static_cast<double>(clippedChannel) / n);
  // The black and white are left out of the flat pixels: the rest of the equal ones.
  const std::size_t blank = same - flat;
  m.blankFlat = n == 0 ? 0.0f : static_cast<float>(static_cast<double>(blank) / n);
  m.blankFringe = blank + fringe == 0
                      ? 0.0f
                      : static_cast<float>(static_cast<double>(fringe) / (blank + fringe));
}

/// The share of sampled pixels whose exact colour is among the eight most frequent, counted
/// in a fixed open-addressing table; colours first seen once it is half full, or that would
/// need a long probe, count as rare (they cannot be among the most frequent anyway).
void measureDominantColours(const PixelView &image, QualityMeasures &m) {
  constexpr std::size_t kSlots = 1u << 13;
  std::vector<std::uint64_t> keys(kSlots, 0);
  std::vector<std::uint32_t> counts(kSlots, 0);
  std::size_t used = 0, n = 0;
  const int bands = image.bands;
  for (int y = 0; y < image.height; y += 4) {
    const std::uint8_t *row = image.row(y);
    for (int x = 0; x < image.width; x += 4) {
      std::uint64_t key = 1; // 0 marks an empty slot
      for (int b = 0; b < bands; ++b)
        key = (key << 8) ^ row[static_cast<std::size_t>(x) * bands + b];
      ++n;
      std::size_t slot = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 51);
      int probes = 0;
      while (keys[slot] != 0 && keys[slot] != key && ++probes < 4)
        slot = (slot + 1) & (kSlots - 1);
      if (keys[slot] != key) {
        if (keys[slot] != 0 || used >= kSlots / 2)
          continue;
        keys[slot] = key;
        ++used;
      }
      ++counts[slot];
    }
  }
  std::partial_sort(counts.begin(), counts.begin() + 8, counts.end(), std::greater<>());
  std::size_t top = 0;
  for (int i = 0; i < 8; ++i)
    top += counts[i];
  m.dominantColours = n == 0 ? 1.0f : static_cast<float>(static_cast<double>(top) / n);
}

constexpr int kPrintBlock = 16;
/// How much a line of letters varies along itself at the least: the mean step between
/// neighbouring pixels as a share of its block's range.
constexpr float kLetterActivity = 0.1f;
/// The same beside a rule, which sets the block's range: the letters next to it are fainter.
constexpr float kRuledLetterActivity = 0.05f;

/// The most colour cast taken out of a page, as opponent colour per grey level: warm lamp
/// light or a cool shade tints paper by up to this much; a stronger tint is the colour of the
/// thing itself.
constexpr float kMostCast = 0.5f;

/// The small pixels of each kPrintBlock block of the full planes (each small pixel counts for
/// the block its centre falls in), or -1 for those outside every whole block.
std::vector<int> blockOfSmallPixels(const ImagePlanes &planes, int blocksWide, int blocksHigh) {
  const ImagePlanes::Small &s = planes.small();
  std::vector<int> block(s.grey.size(), -1);
  const double scale = static_cast<double>(planes.width()) / s.width / kPrintBlock;
  for (int y = 0; y < s.height; ++y) {
    const int by = static_cast<int>((y + 0.5) * scale);
    for (int x = 0; x < s.width && by < blocksHigh; ++x) {
      const int bx = static_cast<int>((x + 0.5) * scale);
      if (bx < blocksWide)
        block[static_cast<std::size_t>(y) * s.width + x] = by * blocksWide + bx;
    }
  }
  return block;
}

/// Mean grey and opponent colour of each block, from the small pixels in it.
struct BlockColours {
  std::vector<float> grey, rg, yb;
  std::vector<int> counts;
};

BlockColours blockColours(const ImagePlanes &planes, const std::vector<int> &block,
                          std::size_t blocks) {
  const ImagePlanes::Small &s = planes.small();
  BlockColours c{std::vector<float>(blocks, 0), std::vector<float>(blocks, 0),
                 std::vector<float>(blocks, 0), std::vector<int>(blocks, 0)};
  for (std::size_t i = 0; i < block.size(); ++i) {
    if (block[i] < 0)
      continue;
    const auto b = static_cast<std::size_t>(block[i]);
    c.grey[b] += s.grey[i];
    c.rg[b] += s.redGreen[i];
    c.yb[b] += s.yellowBlue[i];
    ++c.counts[b];
  }
  for (std::size_t b = 0; b < blocks; ++b) {
    const float n = static_cast<float>(std::max(1, c.counts[b]));
    c.grey[b] /= n;
    c.rg[b] /= n;
    c.yb[b] /= n;
  }
  return c;
}

/// The colour cast of the light, as opponent colour per grey level (light tints in proportion
/// to how much of it a surface reflects): from the `brightest` share of the blocks that could be
/// paper under a cast (tinted by no more than kMostCast), limited to kMostCast. A page under a
/// lamp is evenly tinted; its strokes and its paper keep their difference. Bright leaves or a
/// blue sky beside the page are the colour of the things themselves and say nothing of the
/// light.
std::pair<float, float> lightCast(const BlockColours &c, float brightest) {
  const std::size_t blocks = c.grey.size();
  const auto paperLike = [&](std::size_t b) {
    return c.counts[b] > 0 && c.grey[b] > 0 &&
           std::abs(c.rg[b]) + std::abs(c.yb[b]) <= kMostCast * c.grey[b];
  };
  std::vector<float> candidates;
  for (std::size_t b = 0; b < blocks; ++b)
    if (paperLike(b))
      candidates.push_back(c.grey[b]);
  if (candidates.empty())
    return {0.0f, 0.0f};
  const auto bar =
      candidates.begin() +
      static_cast<std::ptrdiff_t>(static_cast<float>(candidates.size()) * (1.0f - brightest));
  std::nth_element(candidates.begin(), bar, candidates.end());
  double sumRg = 0, sumYb = 0, sumGrey = 0;
  for (std::size_t b = 0; b < blocks; ++b) {
    if (!paperLike(b) || c.grey[b] < *bar)
      continue;
    sumRg += c.rg[b];
    sumYb += c.yb[b];
    sumGrey += c.grey[b];
  }
  if (sumGrey < 1.0)
    return {0.0f, 0.0f};
  const auto castRg = static_cast<float>(sumRg / sumGrey),
             castYb = static_cast<float>(sumYb / sumGrey);
  const float size = std::abs(castRg) + std::abs(castYb);
  const float keep = size > kMostCast ? kMostCast / size : 1.0f;
  return {castRg * keep, castYb * keep};
}

/// Mean opponent-colour magnitude of each kPrintBlock block of the full planes, read from the
/// small planes, after the light's colour cast is taken out: the cast read from the brightest
/// fifth of the surfaces that could be paper, or from their brightest twentieth (a receipt small
/// in the frame on a tinted cloth), whichever leaves the block the more neutral.
std::vector<float> blockChroma(const ImagePlanes &planes, int blocksWide, int blocksHigh) {
  const ImagePlanes::Small &s = planes.small();
  const std::vector<int> block = blockOfSmallPixels(planes, blocksWide, blocksHigh);
  const std::size_t blocks = static_cast<std::size_t>(blocksWide) * blocksHigh;
  const BlockColours colours = blockColours(planes, block, blocks);
  const auto [wideRg, wideYb] = lightCast(colours, 0.2f);
  const auto [narrowRg, narrowYb] = lightCast(colours, 0.05f);
  std::vector<float> wide(blocks, 0.0f), narrow(blocks, 0.0f);
  std::vector<int> counts(blocks, 0);
  for (std::size_t i = 0; i < block.size(); ++i) {
    if (block[i] < 0)
      continue;
    const auto b = static_cast<std::size_t>(block[i]);
    const float rg = s.redGreen[i], yb = s.yellowBlue[i], grey = s.grey[i];
    wide[b] += std::abs(rg - wideRg * grey) + std::abs(yb - wideYb * grey);
    narrow[b] += std::abs(rg - narrowRg * grey) + std::abs(yb - narrowYb * grey);
    ++counts[b];
  }
  for (std::size_t b = 0; b < blocks; ++b)
    wide[b] = std::min(wide[b], narrow[b]) / static_cast<float>(std::max(1, counts[b]));
  return wide;
}

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

/// Printed text and blank paper, from kPrintBlock blocks of the full grey plane. A page,
/// photographed or scanned, is neutral; a block of text on it is mostly bright with a few dark
/// strokes, and its strokes lie along lines, so that its row means vary far more than its
/// column means (or the other way round on a page turned on its side). Blank paper is smooth
/// but for the sensor's noise. Photographs have such blocks too (a window in a white wall,
/// twigs against snow), but seldom many.
void measurePrint(const ImagePlanes &planes, QualityMeasures &m) {
  const int blocksWide = planes.width() / kPrintBlock, blocksHigh = planes.height() / kPrintBlock;
  if (blocksWide == 0 || blocksHigh == 0)
    return;
  const std::vector<float> chroma = blockChroma(planes, blocksWide, blocksHigh);
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

/// Pixels of a border band in runs along its side, by grey level: a run holds at least
/// `minRun` pixels whose grey stays within `tolerance` levels and is filed under its darkest
/// grey; runs of pure black or white are left out.
struct BorderRuns {
  int tolerance = 0;
  std::size_t read = 0;
  std::array<std::size_t, 256> byGrey{};
  /// Pixels read and pixels in runs per side: top, bottom, left, right.
  std::array<std::size_t, 4> sideRead{}, sideInRuns{};

  void addLine(int side, const std::uint8_t *start, std::size_t step, int length, int minRun) {
    read += static_cast<std::size_t>(length);
    sideRead[static_cast<std::size_t>(side)] += static_cast<std::size_t>(length);
    int i = 0;
    while (i < length) {
      int low = start[static_cast<std::size_t>(i) * step], high = low, j = i + 1;
      for (; j < length; ++j) {
        const int v = start[static_cast<std::size_t>(j) * step];
        if (std::max(high, v) - std::min(low, v) > tolerance)
          break;
        low = std::min(low, v);
        high = std::max(high, v);
      }
      if (j - i >= minRun && low > 3 && high < 252) {
        byGrey[static_cast<std::size_t>(low)] += static_cast<std::size_t>(j - i);
        sideInRuns[static_cast<std::size_t>(side)] += static_cast<std::size_t>(j - i);
      }
      i = j;
    }
  }
};

/// Flat runs along each side in its outer eighth (rows along the top and bottom, columns along
/// the left and right), within `tolerance` grey levels. Runs shorter than a sixteenth of the
/// side are left out: bars and panels span far more, while the flattened blocks of a dark,
/// compressed video frame come in shorter pieces. Every fourth line is read: panels are many
/// lines deep.
BorderRuns borderRuns(const ImagePlanes &planes, int tolerance) {
  const int w = planes.width(), h = planes.height();
  const std::uint8_t *g = planes.grey().data();
  const int bandY = std::max(1, h / 8), bandX = std::max(1, w / 8);
  const int runX = std::max(6, w / 16), runY = std::max(6, h / 16);
  const auto stride = static_cast<std::size_t>(w);
  BorderRuns runs{tolerance};
  for (int y = 0; y < bandY; y += 4) {
    runs.addLine(0, g + static_cast<std::size_t>(y) * stride, 1, w, runX);
    runs.addLine(1, g + static_cast<std::size_t>(h - 1 - y) * stride, 1, w, runX);
  }
  for (int x = 0; x < bandX; x += 4) {
    runs.addLine(2, g + x, stride, h, runY);
    runs.addLine(3, g + (w - 1 - x), stride, h, runY);
  }
  return runs;
}

/// A window's frame (title, menu, tool and status bars, rulers, side panels) is made of
/// panels of exact colours along the image's edges, even around a photo or a dark canvas; a
/// photograph's border has no such runs but where it is clipped, a smooth gradient (a sky, a
/// wallpaper) is flat only within a tolerance, and a plain mount around a photo is one grey.
void measureBorder(const ImagePlanes &planes, QualityMeasures &m) {
  const BorderRuns exact = borderRuns(planes, 0), near = borderRuns(planes, 2);
  std::size_t inExact = 0, inNear = 0;
  for (std::size_t v = 0; v < 256; ++v) {
    inExact += exact.byGrey[v];
    inNear += near.byGrey[v];
  }
  std::array<std::size_t, 256> greys = exact.byGrey;
  std::partial_sort(greys.begin(), greys.begin() + 3, greys.end(), std::greater<>());
  const std::size_t mainGrey = greys[0];
  const auto share = [](std::size_t part, std::size_t whole) {
    return whole == 0 ? 0.0f
                      : static_cast<float>(static_cast<double>(part) / static_cast<double>(whole));
  };
  m.flatBorder = share(inExact, exact.read);
  m.nearFlatBorder = share(inNear, near.read);
  m.flatBorderOneGrey = share(mainGrey, inExact);
  m.flatBorderFewGreys = share(greys[0] + greys[1] + greys[2], inExact);
  for (std::size_t side = 0; side < 4; ++side) {
    m.flatBorderSides += share(exact.sideInRuns[side], exact.sideRead[side]) >= 0.2f ? 1.0f : 0.0f;
  }
}

} // namespace

std::vector<std::pair<const char *, float>> QualityMeasures::named() const {
  return {{"meanGrey", meanGrey},
          {"contrast", contrast},
          {"clippedDark", clippedDark},
          {"clippedBright", clippedBright},
          {"clippedChannel", clippedChannel},
          {"colourfulness", colourfulness},
          {"sharpness", sharpness},
          {"noise", noise},
          {"exactFlat", exactFlat},
          {"dominantColours", dominantColours},
          {"paper", paper},
          {"axisAligned", axisAligned},
          {"printedText", printedText},
          {"plainPaper", plainPaper},
          {"flatBorder", flatBorder},
          {"nearFlatBorder", nearFlatBorder},
          {"flatBorderOneGrey", flatBorderOneGrey},
          {"flatBorderFewGreys", flatBorderFewGreys},
          {"flatFewGreys", flatFewGreys},
          {"flatBorderSides", flatBorderSides},
          {"printOnPage", printOnPage},
          {"ruledOnPage", ruledOnPage},
          {"printPatch", printPatch},
          {"printPatchDensity", printPatchDensity},
          {"printPatchSpan", printPatchSpan},
          {"printPatchFill", printPatchFill},
          {"markLines", markLines},
          {"straightEdges", straightEdges},
          {"blankFlat", blankFlat},
          {"blankFringe", blankFringe}};
}

QualityMeasures QualityMeasures::measure(const PixelView &image, const ImagePlanes &planes,
                                         float sharpness) {
  QualityMeasures m;
  m.sharpness = sharpness;
  measureTones(planes, m);
  measureColour(planes, m);
  measureNoise(planes, m);
  measureEdgeDirections(planes, m);
  switch (image.bands) {
  case 1: measureFlatness<1>(image, m); break;
  case 2: measureFlatness<2>(image, m); break;
  case 3: measureFlatness<3>(image, m); break;
  default: measureFlatness<4>(image, m); break;
  }
  measureDominantColours(image, m);
  measurePrint(planes, m);
  measureBorder(planes, m);
  const markmeasures::Marks marks = markmeasures::measure(planes);
  m.markLines = marks.markLines;
  m.straightEdges = marks.straightEdges;
  return m;
}

} // namespace lumora
