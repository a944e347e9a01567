#include "engine/analysis/LineMeasures.h"

#include "engine/analysis/PageTint.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace lumora::linemeasures {

namespace {

constexpr int kBlock = 8;
/// Paper: the block's brightest grey is at least this, and this share of its pixels lie within
/// kPaperBand of it, the rest being strokes.
constexpr int kPaperGrey = 120;
constexpr int kPaperBand = 24;
constexpr float kLeastPaperShare = 0.55f;
/// Ink: this many levels darker than its block's paper.
constexpr int kInkDepth = 32;
/// The patch must cover this share of the frame, and ink this share of the patch.
constexpr float kLeastPatch = 0.1f;
constexpr float kLeastInk = 0.005f;
constexpr float kMostInk = 0.3f;
/// Directions tried, in half degrees either side of the rows: at a pitch of a few pixels, a
/// whole degree off smears the lines of a page across the frame into one another.
constexpr int kMostTurn = 60;
/// The directions are first tried this many half degrees apart.
constexpr int kCoarseStep = 4;
/// Line pitches tried, in pixels, and how many lines must follow one another at the least.
constexpr int kLeastPitch = 4;
constexpr int kLeastLines = 4;

/// The most opponent colour paper of brightest grey `grey` shows: a lit page is tinted a
/// little, the more the brighter it is.
constexpr float neutralTint(float grey) { return 6.0f + 0.05f * grey; }

/// One block: whether it is paper (bearing strokes or not), and its paper's grey.
struct Block {
  bool paper = false;
  int white = 0;
};

/// Reads the block whose top left pixel is `top`, of mean opponent colour `chroma`.
Block readBlock(const std::uint8_t *top, int stride, float chroma) {
  int white = 0;
  for (int y = 0; y < kBlock; ++y)
    for (int x = 0; x < kBlock; ++x)
      white = std::max<int>(white, top[static_cast<std::ptrdiff_t>(y) * stride + x]);
  int near = 0;
  for (int y = 0; y < kBlock; ++y)
    for (int x = 0; x < kBlock; ++x)
      near += top[static_cast<std::ptrdiff_t>(y) * stride + x] >= white - kPaperBand;
  const bool paper = white >= kPaperGrey && chroma <= neutralTint(static_cast<float>(white)) &&
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

/// The rhythm of the profile across the strokes' best direction: lines of print stack
/// sharpest when the profile is taken across them, and then repeat at their pitch.
float rhythm(const std::vector<float> &xs, const std::vector<float> &ys) {
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
  const int mostPitch = static_cast<int>(best.size()) / kLeastLines;
  if (mostPitch <= kLeastPitch)
    return 0.0f;
  float mean = 0;
  for (const float c : best)
    mean += c;
  mean /= static_cast<float>(best.size());
  std::vector<float> alike(static_cast<std::size_t>(2 * mostPitch) + 2);
  for (std::size_t lag = 1; lag < alike.size(); ++lag)
    alike[lag] = likeness(best, mean, static_cast<int>(lag));
  float value = 0;
  for (int lag = kLeastPitch; lag <= mostPitch; ++lag) {
    const auto l = static_cast<std::size_t>(lag);
    if (alike[l] < alike[l - 1] || alike[l] < alike[l + 1])
      continue;
    // Lines repeat: alike at one and two pitches, unlike at a half and one and a half.
    const float twice = std::max({alike[2 * l - 1], alike[2 * l], alike[2 * l + 1]});
    const float between = std::max(alike[l / 2], alike[(3 * l) / 2]);
    value = std::max(value, std::min(alike[l], twice) - between);
  }
  return value;
}

} // namespace

float lineRhythm(const ImagePlanes &planes) {
  const int wide = planes.width() / kBlock, high = planes.height() / kBlock;
  if (wide == 0 || high == 0)
    return 0.0f;
  const std::vector<float> chroma = pagetint::blockChroma(planes, kBlock, wide, high);
  const std::uint8_t *grey = planes.grey().data();
  const int stride = planes.width();
  std::vector<Block> blocks(chroma.size());
  for (int by = 0; by < high; ++by)
    for (int bx = 0; bx < wide; ++bx) {
      const auto b = static_cast<std::size_t>(by) * wide + bx;
      blocks[b] = readBlock(grey + (static_cast<std::ptrdiff_t>(by) * stride + bx) * kBlock, stride,
                            chroma[b]);
    }
  const std::vector<int> patch = largestPatch(blocks, wide, high);
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
  return rhythm(xs, ys);
}

} // namespace lumora::linemeasures
