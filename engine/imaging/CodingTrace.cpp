#include "engine/imaging/CodingTrace.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace lumora::codingtrace {

namespace {

constexpr int kSide = 8;
using Block = std::array<float, kSide * kSide>;

/// Blocks transformed per grid position at most; enough that the shares below vary by a few
/// thousandths from one sample of the picture to another.
constexpr std::int64_t kMostBlocks = 2048;
/// Frequencies whose indices add up to this or more count as fine.
constexpr int kFineFrom = 6;
/// A coefficient below this (in grey levels of an orthonormal transform) counts as dropped:
/// above the rounding of 8-bit pixels, below any detail worth coding.
constexpr float kDropped = 1.0f;

/// Grid positions off the corner's, in both directions, against which the corner's blocks
/// are compared. None shares a row or a column of borders with it.
struct Offset {
  int x;
  int y;
};
constexpr std::array<Offset, 3> kOffGrid{{{4, 4}, {2, 6}, {6, 2}}};

/// The coarse frequencies whose values a still save leaves on multiples of its steps.
constexpr std::array<int, 3> kCoarse{1, kSide, kSide + 1}; // (0,1), (1,0), (1,1)
/// The steps looked for, in grey levels: below 3 a save keeps nearly everything, and the
/// coarse steps of even a poor save stay below 40.
constexpr int kFewestSteps = 3;
constexpr int kMostSteps = 40;
/// How much more plainly the corner's coarse values fall on a step's multiples than the
/// shifted grid's do, at which the picture counts as a still save.
constexpr double kStillSave = 0.15;
/// Values binned this finely for the test of multiples; values beyond the last bin are left
/// out (they are rare and carry no more evidence).
constexpr double kBinWidth = 0.25;
constexpr int kBins = 4096;

/// The orthonormal 8-point transform's basis, transposed: entry i × 8 + k weighs sample i
/// into frequency k, so that the loops below run along contiguous frequencies.
const Block &basis() {
  static const Block kBasis = [] {
    Block m{};
    for (int k = 0; k < kSide; ++k) {
      const double scale = std::sqrt((k == 0 ? 1.0 : 2.0) / kSide);
      for (int i = 0; i < kSide; ++i) {
        m[i * kSide + k] = static_cast<float>(
            scale * std::cos(std::numbers::pi * (2 * i + 1) * k / (2.0 * kSide)));
      }
    }
    return m;
  }();
  return kBasis;
}

/// The block of `picture`'s luma with its top left at (`left`, `top`), transformed: entry
/// v × 8 + u holds vertical frequency v and horizontal frequency u.
Block transformed(const Samples &picture, int left, int top) {
  Block pixels{};
  for (int y = 0; y < kSide; ++y) {
    const std::uint8_t *row = picture.data + static_cast<std::size_t>(top + y) * picture.stride +
                              static_cast<std::size_t>(left) * picture.bands;
    for (int x = 0; x < kSide; ++x) {
      const std::uint8_t *p = row + static_cast<std::size_t>(x) * picture.bands;
      pixels[y * kSide + x] =
          picture.bands < 3 ? p[0] : 0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2];
    }
  }
  const Block &m = basis();
  Block rows{};
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const float sample = pixels[y * kSide + x];
      for (int u = 0; u < kSide; ++u) {
        rows[y * kSide + u] += m[x * kSide + u] * sample;
      }
    }
  }
  Block out{};
  for (int y = 0; y < kSide; ++y) {
    for (int v = 0; v < kSide; ++v) {
      const float weight = m[y * kSide + v];
      for (int u = 0; u < kSide; ++u) {
        out[v * kSide + u] += weight * rows[y * kSide + u];
      }
    }
  }
  return out;
}

/// What the blocks of one grid position hold.
struct Position {
  std::int64_t fine = 0;
  std::int64_t dropped = 0;
  /// Per coarse frequency, how many of its values fall in each bin.
  std::array<std::vector<std::uint32_t>, kCoarse.size()> coarse;

  [[nodiscard]] double droppedShare() const {
    return fine > 0 ? static_cast<double>(dropped) / static_cast<double>(fine) : 0.0;
  }
};

/// 1 for the fine frequencies, 0 for the others.
constexpr std::array<int, kSide *kSide> kFine = [] {
  std::array<int, kSide * kSide> fine{};
  for (int v = 0; v < kSide; ++v) {
    for (int u = 0; u < kSide; ++u) {
      fine[v * kSide + u] = u + v >= kFineFrom ? 1 : 0;
    }
  }
  return fine;
}();
constexpr int kFineCount = 43;
static_assert([] {
  int count = 0;
  for (const int f : kFine) {
    count += f;
  }
  return count;
}() == kFineCount);

/// Transforms the blocks of the grid at `offset`, a sample of them spread over the picture
/// when there are more than `kMostBlocks`; with `binned`, also bins their coarse values.
Position measure(const Samples &picture, Offset offset, bool binned) {
  Position position;
  if (binned) {
    for (auto &bins : position.coarse) {
      bins.assign(kBins, 0);
    }
  }
  const int across = (picture.width - offset.x) / kSide;
  const int down = (picture.height - offset.y) / kSide;
  const std::int64_t blocks = std::int64_t{across} * down;
  const std::int64_t stride = std::max<std::int64_t>(1, (blocks + kMostBlocks - 1) / kMostBlocks);
  for (std::int64_t index = 0; index < blocks; index += stride) {
    const Block c = transformed(picture, offset.x + static_cast<int>(index % across) * kSide,
                                offset.y + static_cast<int>(index / across) * kSide);
    int dropped = 0;
    for (int i = 0; i < kSide * kSide; ++i) {
      dropped += kFine[i] & static_cast<int>(std::abs(c[i]) < kDropped);
    }
    position.fine += kFineCount;
    position.dropped += dropped;
    for (std::size_t k = 0; binned && k < kCoarse.size(); ++k) {
      const double bin = std::floor(c[kCoarse[k]] / kBinWidth) + kBins / 2.0;
      if (bin >= 0 && bin < kBins) {
        ++position.coarse[k][static_cast<std::size_t>(bin)];
      }
    }
  }
  return position;
}

/// How plainly the binned values fall on the multiples of some step: the largest, over the
/// steps looked for, mean cosine of the values' phase within the step, over the values beyond
/// three quarters of it (those a save at that step would not have dropped). 0 when no step
/// has enough such values.
double onMultiples(const std::vector<std::uint32_t> &bins) {
  std::vector<std::pair<double, double>> values; // (value, count) of the bins in use
  for (std::size_t b = 0; b < bins.size(); ++b) {
    if (bins[b] > 0) {
      const double centre = (static_cast<double>(b) - kBins / 2 + 0.5) * kBinWidth;
      values.emplace_back(centre, bins[b]);
    }
  }
  constexpr double kFewestValues = 40;
  double best = 0;
  for (int step = kFewestSteps; step <= kMostSteps; ++step) {
    double sum = 0;
    double count = 0;
    for (const auto &[value, n] : values) {
      if (std::abs(value) > 0.75 * step) {
        sum += n * std::cos(2.0 * std::numbers::pi * value / step);
        count += n;
      }
    }
    if (count >= kFewestValues) {
      best = std::max(best, sum / count);
    }
  }
  return best;
}

/// The middle of the coarse frequencies' `onMultiples`.
double stillSaveEvidence(const Position &position) {
  std::array<double, kCoarse.size()> evidence{};
  for (std::size_t k = 0; k < kCoarse.size(); ++k) {
    evidence[k] = onMultiples(position.coarse[k]);
  }
  std::sort(evidence.begin(), evidence.end());
  return evidence[evidence.size() / 2];
}

} // namespace

float residualTrace(const Samples &picture) {
  constexpr int kFewestSide = 64;
  if (picture.data == nullptr || picture.bands < 1 || picture.bands > 4 ||
      picture.width < kFewestSide || picture.height < kFewestSide ||
      std::int64_t{picture.width} * picture.height > kMostPixels ||
      picture.stride < static_cast<std::size_t>(picture.width) * picture.bands) {
    return 0;
  }
  const Position corner = measure(picture, {0, 0}, true);
  const Position shifted = measure(picture, kOffGrid[0], true);
  double offGrid = shifted.droppedShare();
  for (std::size_t i = 1; i < kOffGrid.size(); ++i) {
    offGrid += measure(picture, kOffGrid[i], false).droppedShare();
  }
  const double excess = corner.droppedShare() - offGrid / kOffGrid.size();
  if (excess <= 0 || stillSaveEvidence(corner) - stillSaveEvidence(shifted) >= kStillSave) {
    return 0;
  }
  return static_cast<float>(excess);
}

} // namespace lumora::codingtrace
