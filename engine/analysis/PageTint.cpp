#include "engine/analysis/PageTint.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

namespace lumora::pagetint {

namespace {

/// The most colour cast taken out of a page, as opponent colour per grey level: warm lamp
/// light or a cool shade tints paper by up to this much; a stronger tint is the colour of the
/// thing itself.
constexpr float kMostCast = 0.5f;

/// The small pixels of each `blockSize` block of the full planes (each small pixel counts for
/// the block its centre falls in), or -1 for those outside every whole block.
std::vector<int> blockOfSmallPixels(const ImagePlanes &planes, int blockSize, int blocksWide,
                                    int blocksHigh) {
  const ImagePlanes::Small &s = planes.small();
  std::vector<int> block(s.grey.size(), -1);
  const double scale = static_cast<double>(planes.width()) / s.width / blockSize;
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

} // namespace

/// Mean opponent-colour magnitude of each block of the full planes, read from the
/// small planes, after the light's colour cast is taken out: the cast read from the brightest
/// fifth of the surfaces that could be paper, or from their brightest twentieth (a receipt small
/// in the frame on a tinted cloth), whichever leaves the block the more neutral.
std::vector<float> blockChroma(const ImagePlanes &planes, int blockSize, int blocksWide,
                               int blocksHigh) {
  const ImagePlanes::Small &s = planes.small();
  const std::vector<int> block = blockOfSmallPixels(planes, blockSize, blocksWide, blocksHigh);
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

} // namespace lumora::pagetint
