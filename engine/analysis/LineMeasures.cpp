#include "engine/analysis/LineMeasures.h"

#include "engine/analysis/PageTint.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <numbers>
#include <utility>
#include <vector>

namespace lumora::linemeasures {

namespace {

constexpr int kBlock = 8;
/// Paper: the block's brightest grey is at least this, and this share of its pixels lie within
/// kPaperBand of it, the rest being strokes.
constexpr int kPaperGrey = 120;
constexpr int kPaperBand = 24;
/// A dark screen's ground, read from the negative: its darkest grey is at most 64. A grey
/// texture or a dim scene fills blocks of its darker greys too, and would pass as ground.
constexpr int kScreenGround = 255 - 64;
constexpr float kLeastPaperShare = 0.55f;
/// Ink: this many levels darker than its block's paper.
constexpr int kInkDepth = 32;
/// The patch must cover this share of the frame, and ink this share of the patch.
constexpr float kLeastPatch = 0.1f;
constexpr float kLeastInk = 0.005f;
/// A sheet lying in a scene: it covers at most this share of the frame, leaving the rest to the
/// scene; its paper is brighter than the scene by this share of its grey; and at most this share
/// of its outline runs along the frame's edges.
constexpr double kMostPage = 0.6;
constexpr double kLeastStep = 0.3;
constexpr double kMostOnEdge = 0.3;
constexpr float kMostInk = 0.3f;
/// Directions tried, in half degrees either side of the rows: at a pitch of a few pixels, a
/// whole degree off smears the lines of a page across the frame into one another.
constexpr int kMostTurn = 60;
/// The directions are first tried this many half degrees apart.
constexpr int kCoarseStep = 4;
/// Line pitches tried, in pixels, and how many lines must follow one another at the least.
constexpr int kLeastPitch = 4;
constexpr int kLeastLines = 4;
/// Lines of text differ in ink: they end where their words do, and some are blank, so the
/// deviation of their ink is a quarter of its mean or more. Rows of lamps or dots in a dark
/// photograph hardly differ, and their rhythm counts for that much less.
constexpr float kLineSpread = 0.25f;

/// The most opponent colour paper of brightest grey `grey` shows: a lit page is tinted a
/// little, the more the brighter it is.
constexpr float neutralTint(float grey) { return 6.0f + 0.05f * grey; }

/// One block: whether it is paper (bearing strokes or not), and its paper's grey.
struct Block {
  bool paper = false;
  int white = 0;
};

/// Reads the block whose top left pixel is `top`, of mean opponent colour `chroma`, as paper
/// when its brightest grey is at least `groundGrey`.
Block readBlock(const std::uint8_t *top, int stride, float chroma, int groundGrey) {
  int white = 0;
  for (int y = 0; y < kBlock; ++y)
    for (int x = 0; x < kBlock; ++x)
      white = std::max<int>(white, top[static_cast<std::ptrdiff_t>(y) * stride + x]);
  int near = 0;
  for (int y = 0; y < kBlock; ++y)
    for (int x = 0; x < kBlock; ++x)
      near += top[static_cast<std::ptrdiff_t>(y) * stride + x] >= white - kPaperBand;
  const bool paper = white >= groundGrey && chroma <= neutralTint(static_cast<float>(white)) &&
                     static_cast<float>(near) >= kLeastPaperShare * kBlock * kBlock;
  return {paper, white};
}

/// The blocks of the largest patch of paper blocks joined through their sides.
std::vector<int> largestPatch(const std::vector<Block> &blocks, int wide, int high) {
  std::vector<char> seen(blocks.size(), 0);
  std::vector<int> largest, patch, stack;
  for (std::size_t start = 0; start < blocks.size(); ++start) {
    if (!blocks[start].paper || seen[start])
      continue;
    patch.clear();
    stack.assign(1, static_cast<int>(start));
    seen[start] = 1;
    while (!stack.empty()) {
      const int b = stack.back();
      stack.pop_back();
      patch.push_back(b);
      const int bx = b % wide, by = b / wide;
      const int next[4][2] = {{bx - 1, by}, {bx + 1, by}, {bx, by - 1}, {bx, by + 1}};
      for (const auto &n : next) {
        if (n[0] < 0 || n[1] < 0 || n[0] >= wide || n[1] >= high)
          continue;
        const auto i = static_cast<std::size_t>(n[1]) * wide + n[0];
        if (blocks[i].paper && !seen[i]) {
          seen[i] = 1;
          stack.push_back(static_cast<int>(i));
        }
      }
    }
    if (patch.size() > largest.size())
      largest.swap(patch);
  }
  return largest;
}

/// How many ink pixels fall on each one-pixel line across direction `turn` (radians).
std::vector<float> profile(const std::vector<float> &xs, const std::vector<float> &ys, float turn) {
  const float c = std::cos(turn), s = std::sin(turn);
  float low = 1e9f, high = -1e9f;
  std::vector<float> across(xs.size());
  for (std::size_t i = 0; i < xs.size(); ++i) {
    across[i] = ys[i] * c - xs[i] * s;
    low = std::min(low, across[i]);
    high = std::max(high, across[i]);
  }
  std::vector<float> counts(static_cast<std::size_t>(high - low) + 1, 0.0f);
  for (const float a : across)
    counts[static_cast<std::size_t>(a - low)] += 1.0f;
  return counts;
}

/// How alike `counts` is to itself `lag` lines on, −1…1, about its mean.
float likeness(const std::vector<float> &counts, float mean, int lag) {
  double together = 0, alone = 0;
  for (std::size_t i = 0; i < counts.size(); ++i) {
    const double d = counts[i] - mean;
    alone += d * d;
    if (i + static_cast<std::size_t>(lag) < counts.size())
      together += d * (counts[i + static_cast<std::size_t>(lag)] - mean);
  }
  return alone <= 0 ? 0.0f : static_cast<float>(together / alone);
}

/// How plainly `counts` repeats at one pitch of at least kLeastPitch, kLeastLines times or
/// more: alike at one and two pitches, unlike at a half and one and a half (0…2).
float repeats(const std::vector<float> &counts, int *pitch = nullptr) {
  const int mostPitch = static_cast<int>(counts.size()) / kLeastLines;
  if (mostPitch <= kLeastPitch)
    return 0.0f;
  float mean = 0;
  for (const float c : counts)
    mean += c;
  mean /= static_cast<float>(counts.size());
  std::vector<float> alike(static_cast<std::size_t>(2 * mostPitch) + 2);
  for (std::size_t lag = 1; lag < alike.size(); ++lag)
    alike[lag] = likeness(counts, mean, static_cast<int>(lag));
  float value = 0;
  for (int lag = kLeastPitch; lag <= mostPitch; ++lag) {
    const auto l = static_cast<std::size_t>(lag);
    if (alike[l] < alike[l - 1] || alike[l] < alike[l + 1])
      continue;
    const float twice = std::max({alike[2 * l - 1], alike[2 * l], alike[2 * l + 1]});
    const float between = std::max(alike[l / 2], alike[(3 * l) / 2]);
    const float here = std::min(alike[l], twice) - between;
    if (here > value && pitch != nullptr)
      *pitch = lag;
    value = std::max(value, here);
  }
  return value;
}

/// How unlike one another the lines of `counts` at `pitch` are in ink: the deviation of the
/// ink of each whole line over its mean.
float lineSpread(const std::vector<float> &counts, int pitch) {
  std::vector<double> lines;
  for (std::size_t start = 0; start + static_cast<std::size_t>(pitch) <= counts.size();
       start += static_cast<std::size_t>(pitch)) {
    double sum = 0;
    for (std::size_t i = start; i < start + static_cast<std::size_t>(pitch); ++i)
      sum += counts[i];
    lines.push_back(sum);
  }
  if (lines.size() < 3)
    return 0.0f;
  double mean = 0, square = 0;
  for (const double l : lines)
    mean += l;
  mean /= static_cast<double>(lines.size());
  for (const double l : lines)
    square += (l - mean) * (l - mean);
  return mean <= 0
             ? 0.0f
             : static_cast<float>(std::sqrt(square / static_cast<double>(lines.size())) / mean);
}

/// The rhythm of the profile across the strokes' best direction: lines of print stack
/// sharpest when the profile is taken across them, and then repeat at their pitch. With
/// `unevenLines`, scaled down where the lines hold much the same ink (`kLineSpread`).
float rhythm(const std::vector<float> &xs, const std::vector<float> &ys, bool unevenLines) {
  std::vector<float> best;
  double sharpest = -1;
  int bestTurn = 0;
  const auto tryTurn = [&](int halves) {
    std::vector<float> counts =
        profile(xs, ys, static_cast<float>(halves) * std::numbers::pi_v<float> / 360.0f);
    double sharpness = 0;
    for (const float c : counts)
      sharpness += static_cast<double>(c) * c;
    if (sharpness > sharpest) {
      sharpest = sharpness;
      bestTurn = halves;
      best.swap(counts);
    }
  };
  // Every fourth direction first, then the half degrees about the sharpest of them.
  for (int halves = -kMostTurn; halves <= kMostTurn; halves += kCoarseStep)
    tryTurn(halves);
  const int coarse = bestTurn;
  for (int halves = coarse - kCoarseStep + 1; halves < coarse + kCoarseStep; ++halves)
    if (halves != coarse && std::abs(halves) <= kMostTurn)
      tryTurn(halves);
  int pitch = 0;
  const float across = repeats(best, &pitch);
  if (!unevenLines || pitch == 0)
    return across;
  return across * std::min(1.0f, lineSpread(best, pitch) / kLineSpread);
}

/// The blocks of `grey`, `wide` × `high`, read as ground when their brightest grey is at least
/// `groundGrey` and, when `chroma` holds the blocks' tints, neutral.
std::vector<Block> readBlocks(const std::uint8_t *grey, int stride, int wide, int high,
                              const std::vector<float> &chroma, int groundGrey) {
  std::vector<Block> blocks(static_cast<std::size_t>(wide) * high);
  for (int by = 0; by < high; ++by)
    for (int bx = 0; bx < wide; ++bx) {
      const auto b = static_cast<std::size_t>(by) * wide + bx;
      blocks[b] = readBlock(grey + (static_cast<std::ptrdiff_t>(by) * stride + bx) * kBlock, stride,
                            chroma.empty() ? 0.0f : chroma[b], groundGrey);
    }
  return blocks;
}

/// The rhythm of the strokes on `patch`, the largest patch of ground `blocks` of `grey` hold. A
/// dark screen is read from its negative, without the tint (coloured text sways a dark block's
/// mean colour far more than a pale one's), and with `unevenLines`: a page's lines need no such
/// check, as the lined-page rule asks for letters.
float groundRhythm(const std::uint8_t *grey, int stride, int wide, const std::vector<Block> &blocks,
                   const std::vector<int> &patch, bool unevenLines) {
  if (static_cast<float>(patch.size()) < kLeastPatch * static_cast<float>(blocks.size()))
    return 0.0f;
  std::vector<float> xs, ys;
  for (const int b : patch) {
    const int x0 = b % wide * kBlock, y0 = b / wide * kBlock;
    const int ink = blocks[static_cast<std::size_t>(b)].white - kInkDepth;
    for (int y = y0; y < y0 + kBlock; ++y)
      for (int x = x0; x < x0 + kBlock; ++x)
        if (grey[static_cast<std::ptrdiff_t>(y) * stride + x] <= ink) {
          xs.push_back(static_cast<float>(x));
          ys.push_back(static_cast<float>(y));
        }
  }
  const float share =
      static_cast<float>(xs.size()) / static_cast<float>(patch.size() * kBlock * kBlock);
  if (share < kLeastInk || share > kMostInk)
    return 0.0f;
  return rhythm(xs, ys, unevenLines);
}

/// The blocks of `patch` with the holes it encloses (blocks of print too dark to read as
/// paper), marked 1 in a grid of `wide` × `high`: what no path of other blocks joins to the
/// frame's edge.
std::vector<char> filledPatch(const std::vector<int> &patch, int wide, int high) {
  std::vector<char> inside(static_cast<std::size_t>(wide) * high, 1);
  for (const int b : patch)
    inside[static_cast<std::size_t>(b)] = 2;
  std::vector<int> stack;
  const auto reach = [&](int x, int y) {
    const auto i = static_cast<std::size_t>(y) * wide + x;
    if (inside[i] == 1) {
      inside[i] = 0;
      stack.push_back(static_cast<int>(i));
    }
  };
  for (int x = 0; x < wide; ++x) {
    reach(x, 0);
    reach(x, high - 1);
  }
  for (int y = 0; y < high; ++y) {
    reach(0, y);
    reach(wide - 1, y);
  }
  while (!stack.empty()) {
    const int b = stack.back();
    stack.pop_back();
    const int bx = b % wide, by = b / wide;
    if (bx > 0)
      reach(bx - 1, by);
    if (bx + 1 < wide)
      reach(bx + 1, by);
    if (by > 0)
      reach(bx, by - 1);
    if (by + 1 < high)
      reach(bx, by + 1);
  }
  for (char &c : inside)
    c = c != 0 ? 1 : 0;
  return inside;
}

struct Point {
  double x, y;
};

double cross(const Point &o, const Point &a, const Point &b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

/// The convex hull of the corners of the blocks marked in `inside`, anticlockwise.
std::vector<Point> hullOf(const std::vector<char> &inside, int wide, int high) {
  std::vector<Point> points;
  for (int y = 0; y < high; ++y)
    for (int x = 0; x < wide; ++x)
      if (inside[static_cast<std::size_t>(y) * wide + x] != 0)
        for (const auto &[dx, dy] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}})
          points.push_back({static_cast<double>(x + dx), static_cast<double>(y + dy)});
  std::sort(points.begin(), points.end(),
            [](const Point &a, const Point &b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
  if (points.size() < 3)
    return points;
  std::vector<Point> hull(2 * points.size());
  std::size_t k = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    while (k >= 2 && cross(hull[k - 2], hull[k - 1], points[i]) <= 0)
      --k;
    hull[k++] = points[i];
  }
  for (std::size_t i = points.size() - 1, lower = k + 1; i > 0; --i) {
    while (k >= lower && cross(hull[k - 2], hull[k - 1], points[i - 1]) <= 0)
      --k;
    hull[k++] = points[i - 1];
  }
  hull.resize(k - 1);
  return hull;
}

double areaOf(const std::vector<Point> &polygon) {
  double twice = 0;
  for (std::size_t i = 0; i < polygon.size(); ++i)
    twice += cross({0, 0}, polygon[i], polygon[(i + 1) % polygon.size()]);
  return std::abs(twice) / 2;
}

/// The largest quadrilateral whose corners are corners of the convex `hull`: for each pair of
/// corners as its diagonal, the farthest corner on either side.
double largestQuadrilateral(const std::vector<Point> &hull) {
  const std::size_t n = hull.size();
  if (n <= 4)
    return areaOf(hull);
  double best = 0;
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = i + 2; j < n; ++j) {
      double left = 0, right = 0;
      for (std::size_t k = 0; k < n; ++k) {
        const double c = cross(hull[i], hull[j], hull[k]);
        left = std::max(left, c);
        right = std::max(right, -c);
      }
      best = std::max(best, (left + right) / 2);
    }
  return best;
}

/// Whether the paper of `patch` is brighter than the rest of the frame outside `inside`, by
/// kLeastStep of its grey: a sheet lit in a darker or coloured scene.
bool standsOut(const ImagePlanes &planes, const std::vector<Block> &blocks,
               const std::vector<int> &patch, const std::vector<char> &inside) {
  double paper = 0, scene = 0;
  std::size_t sceneCount = 0;
  for (const int b : patch)
    paper += blocks[static_cast<std::size_t>(b)].white;
  paper /= static_cast<double>(patch.size());
  const int wide = planes.width() / kBlock, high = planes.height() / kBlock;
  for (int y = 0; y < high * kBlock; ++y) {
    const std::uint8_t *row =
        planes.grey().data() + static_cast<std::ptrdiff_t>(y) * planes.width();
    for (int x = 0; x < wide * kBlock; ++x)
      if (inside[static_cast<std::size_t>(y / kBlock) * wide + x / kBlock] == 0) {
        scene += row[x];
        ++sceneCount;
      }
  }
  return sceneCount > 0 && paper - scene / static_cast<double>(sceneCount) >= kLeastStep * paper;
}

/// Whether `hull`, in blocks of a `wide` × `high` frame, reaches at most one side of the frame
/// and runs along the frame's edges for at most kMostOnEdge of its outline: a sheet lies in the
/// scene or runs off it on one side, where a band of sky, wall or road spans the frame.
bool liesWithin(const std::vector<Point> &hull, int wide, int high) {
  double low[2] = {1e9, 1e9}, top[2] = {-1, -1}, onEdge = 0, outline = 0;
  for (std::size_t i = 0; i < hull.size(); ++i) {
    const Point &a = hull[i], &b = hull[(i + 1) % hull.size()];
    low[0] = std::min(low[0], a.x);
    low[1] = std::min(low[1], a.y);
    top[0] = std::max(top[0], a.x);
    top[1] = std::max(top[1], a.y);
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    outline += length;
    if ((a.x == 0 && b.x == 0) || (a.y == 0 && b.y == 0) || (a.x == wide && b.x == wide) ||
        (a.y == high && b.y == high))
      onEdge += length;
  }
  const int sides = (low[0] <= 0) + (low[1] <= 0) + (top[0] >= wide) + (top[1] >= high);
  return sides <= 1 && onEdge <= kMostOnEdge * outline;
}

/// How nearly `patch` of `blocks`, holes and all, is a quadrilateral lying in the scene as a
/// sheet does (see `pageShape`).
float sheetShape(const ImagePlanes &planes, const std::vector<Block> &blocks,
                 const std::vector<int> &patch, int wide, int high) {
  const auto frame = static_cast<double>(blocks.size());
  if (static_cast<double>(patch.size()) < kLeastPatch * frame)
    return 0.0f;
  const std::vector<char> inside = filledPatch(patch, wide, high);
  const auto area = static_cast<double>(std::count(inside.begin(), inside.end(), 1));
  const std::vector<Point> hull = hullOf(inside, wide, high);
  const double hullArea = areaOf(hull);
  if (area > kMostPage * frame || hullArea <= 0 || !standsOut(planes, blocks, patch, inside) ||
      !liesWithin(hull, wide, high))
    return 0.0f;
  return static_cast<float>(area / hullArea * largestQuadrilateral(hull) / hullArea);
}

} // namespace

Paper paper(const ImagePlanes &planes) {
  const int wide = planes.width() / kBlock, high = planes.height() / kBlock;
  if (wide == 0 || high == 0)
    return {};
  const std::vector<Block> blocks =
      readBlocks(planes.grey().data(), planes.width(), wide, high,
                 pagetint::blockChroma(planes, kBlock, wide, high), kPaperGrey);
  const std::vector<int> patch = largestPatch(blocks, wide, high);
  return {groundRhythm(planes.grey().data(), planes.width(), wide, blocks, patch, false),
          sheetShape(planes, blocks, patch, wide, high)};
}

float lineRhythm(const ImagePlanes &planes) { return paper(planes).lineRhythm; }

float pageShape(const ImagePlanes &planes) { return paper(planes).pageShape; }

float darkLineRhythm(const ImagePlanes &planes) {
  const int wide = planes.width() / kBlock, high = planes.height() / kBlock;
  if (wide == 0 || high == 0)
    return 0.0f;
  std::vector<std::uint8_t> negative(planes.grey().size());
  for (std::size_t i = 0; i < negative.size(); ++i)
    negative[i] = static_cast<std::uint8_t>(255 - planes.grey()[i]);
  const std::vector<Block> blocks =
      readBlocks(negative.data(), planes.width(), wide, high, {}, kScreenGround);
  return groundRhythm(negative.data(), planes.width(), wide, blocks,
                      largestPatch(blocks, wide, high), true);
}

} // namespace lumora::linemeasures
