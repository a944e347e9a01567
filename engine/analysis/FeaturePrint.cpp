#include "engine/analysis/FeaturePrint.h"

#include "engine/analysis/FeatureProjection.h"
#include "engine/analysis/FeatureWeights.h"
#include "engine/analysis/PageLayout.h"
#include "engine/analysis/Resampler.h"
#include "engine/analysis/UnitLength.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <numeric>
#include <utility>

namespace lumora::featureprint {

namespace {

// Every block is computed on the centre square of the image, scaled to this side: small
// enough that blur, sensor noise and JPEG artefacts of the thumbnail average away, large
// enough for edge orientations.
constexpr int kCropSide = 64;
constexpr int kRoughSide = 4;
constexpr int kCoarseSide = 8;
constexpr int kGradientCells = 4;
constexpr int kOrientationBins = 8;
constexpr int kColourSide = 4;
constexpr float kCellSpread = 2.0f; // cells a pixel's edge reaches on the finest edge grid
// Edges are measured on the crop scaled to this contrast (standard deviation in grey levels),
// by at most kEdgeContrast / kEdgeContrastFloor.
constexpr float kEdgeContrast = 40.0f;
constexpr float kEdgeContrastFloor = 12.0f;
// The palette histogram: kPaletteBins × kPaletteBins cells over red−green and yellow−blue,
// kPaletteStep opponent-colour levels apart, centred on neutral grey.
constexpr int kPaletteBins = 5;
constexpr float kPaletteStep = 16.0f;
// Texture patterns: a pixel's ring of 8 neighbours, at the crop and at half its side.
constexpr int kRingPatterns = 10;
constexpr float kRingTolerance = 1.0f; // grey levels a neighbour may lie below and still count
// The border ring: the outer cells of a kBorderSide × kBorderSide grid over the whole frame.
constexpr int kBorderSide = 8;
constexpr int kBorderCells = 4 * (kBorderSide - 1);

// The palette and texture blocks are measured from a typical photograph's: the root shares
// averaged over the calibration set (tools/calibration/make-calibration-set), so that what most
// photos share (neutral tones, flat areas) does not make every two photos look alike.
constexpr std::array<float, kPaletteBins *kPaletteBins> kTypicalPalette = {
    0.076f, 0.092f, 0.052f, 0.017f, 0.011f, 0.032f, 0.149f, 0.162f, 0.035f,
    0.021f, 0.016f, 0.142f, 0.452f, 0.138f, 0.038f, 0.023f, 0.100f, 0.251f,
    0.191f, 0.068f, 0.020f, 0.052f, 0.106f, 0.147f, 0.126f};
constexpr std::array<float, 2 *kRingPatterns> kTypicalTexture = {
    0.127f, 0.201f, 0.189f, 0.270f, 0.523f, 0.421f, 0.266f, 0.260f, 0.264f, 0.343f,
    0.132f, 0.218f, 0.217f, 0.303f, 0.560f, 0.387f, 0.250f, 0.246f, 0.206f, 0.335f};
constexpr float kRootShareFloor = 0.02f;

// Contrast floors, as root-mean-square values per entry. A block whose contrast lies below
// its floor is scaled down in proportion instead of being blown up to unit length, so that
// the noise and faint gradients of a flat frame cannot dominate its feature vector.
constexpr float kGreyFloor = 6.0f;         // grey levels of the crop's contrast
constexpr float kColourFloor = 10.0f;      // opponent-colour levels at mid grey
constexpr float kChromaReference = 64.0f;  // grey level where colour counts at face value
constexpr float kGradientCellFloor = 3.0f; // mean gradient magnitude per pixel
constexpr float kGradientBlockFloor = 0.06f;

using Plane = std::vector<float>;

void subtractMean(Plane &values) {
  const double mean = std::accumulate(values.begin(), values.end(), 0.0) / values.size();
  for (float &v : values) {
    v -= static_cast<float>(mean);
  }
}

/// Scales `values` to unit length, or by 1 / (floor × √n) when that is the larger divisor.
void normaliseAgainstFloor(Plane &values, float rmsFloor) {
  double sum = 0;
  for (float v : values) {
    sum += static_cast<double>(v) * v;
  }
  const double floor = rmsFloor * std::sqrt(static_cast<double>(values.size()));
  const double divisor = std::max(std::sqrt(sum), floor);
  for (float &v : values) {
    v = static_cast<float>(v / divisor);
  }
}

/// Replaces every value by its rank among all values, scaled to 0…255; values within a
/// quarter grey level tie and share their mean rank. The layout of ranks does not change when
/// exposure, contrast or gamma change, and pixels clipped by an exposure change merely tie.
/// A counting sort: linear in the number of pixels.
Plane ranked(const Plane &values) {
  constexpr int kLevels = 1024;
  std::array<std::uint32_t, kLevels> count{};
  std::vector<std::uint16_t> level(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    level[i] = static_cast<std::uint16_t>(std::clamp(values[i] * 4.0f, 0.0f, kLevels - 1.0f));
    ++count[level[i]];
  }
  std::array<float, kLevels> rank{};
  const float scale = 255.0f / static_cast<float>(std::max<std::size_t>(1, values.size() - 1));
  std::uint32_t below = 0;
  for (int l = 0; l < kLevels; ++l) {
    // The mean of ranks below … below + count − 1.
    rank[l] =
        (static_cast<float>(below) + 0.5f * static_cast<float>(count[l] == 0 ? 0 : count[l] - 1)) *
        scale;
    below += count[l];
  }
  Plane out(values.size());
  for (std::size_t i = 0; i < values.size(); ++i)
    out[i] = rank[level[i]];
  return out;
}

float standardDeviation(const Plane &values) {
  double sum = 0, sumSquares = 0;
  for (float v : values) {
    sum += v;
    sumSquares += static_cast<double>(v) * v;
  }
  const double n = static_cast<double>(values.size());
  const double mean = sum / n;
  return static_cast<float>(std::sqrt(std::max(0.0, sumSquares / n - mean * mean)));
}

/// How much of a block built on ranks or shares a frame keeps: ranks and shares look the same
/// at any contrast, so a flat frame keeps a proportionally small block instead of one made of
/// amplified noise (and a featureless frame none at all).
float contrastDamping(const Plane &crop) {
  return std::min(1.0f, standardDeviation(crop) / kGreyFloor);
}

void scale(Plane &values, float factor) {
  for (float &v : values)
    v *= factor;
}

/// The grey layout of the crop at `side` × `side`, on ranks, damped by `damping`.
Plane greyLayout(const Plane &ranks, int side, float damping) {
  const resampler::Region all{0, 0, kCropSide, kCropSide};
  Plane layout = resampler::resample(ranks, kCropSide, all, side, side);
  subtractMean(layout);
  normaliseAgainstFloor(layout, 1.0f);
  scale(layout, damping);
  return layout;
}

/// Edge strength and orientation bin of every interior pixel of the crop.
struct Gradients {
  Plane magnitude;
  Plane bin; // fractional orientation bin, −0.5…kOrientationBins − 0.5
};

Gradients gradients(const Plane &g) {
  Gradients out{Plane(kCropSide * kCropSide, 0.0f), Plane(kCropSide * kCropSide, 0.0f)};
  constexpr float kBinsPerRadian = kOrientationBins / std::numbers::pi_v<float>;
  for (int y = 1; y < kCropSide - 1; ++y) {
    const float *row = &g[y * kCropSide];
    for (int x = 1; x < kCropSide - 1; ++x) {
      const float gx = row[x + 1] - row[x - 1];
      const float gy = row[x + kCropSide] - row[x - kCropSide];
      float angle = std::atan2(gy, gx); // edge orientation without sign: 0…π
      if (angle < 0)
        angle += std::numbers::pi_v<float>;
      out.magnitude[y * kCropSide + x] = std::sqrt(gx * gx + gy * gy);
      out.bin[y * kCropSide + x] = angle * kBinsPerRadian - 0.5f;
    }
  }
  return out;
}

constexpr int kMaxCells = kGradientCells;

/// How much one pixel row or column counts for each cell row or column of a `cells`-wide grid:
/// a tent around every cell centre reaching `kCellSpread` cells to either side on the finest
/// grid (one cell, plain bilinear spreading, on the coarser ones), normalised so that every
/// pixel counts once in all. Reaching past the neighbouring centres makes the fine histograms
/// tolerant of a scene moved by a few percent (a burst, a stereo pair).
using CellWeights = std::array<std::array<float, kMaxCells>, kCropSide>;

CellWeights cellWeights(int cells) {
  const float spread = cells == kGradientCells ? kCellSpread : 1.0f;
  CellWeights out{};
  const float cellSize = static_cast<float>(kCropSide) / static_cast<float>(cells);
  for (int i = 0; i < kCropSide; ++i) {
    const float at = (static_cast<float>(i) + 0.5f) / cellSize - 0.5f; // in cell units
    float total = 0;
    for (int c = 0; c < cells; ++c) {
      out[i][c] = std::max(0.0f, 1.0f - std::abs(at - static_cast<float>(c)) / spread);
      total += out[i][c];
    }
    for (int c = 0; c < cells; ++c)
      out[i][c] /= total;
  }
  return out;
}

/// Orientation histograms on a `cells` × `cells` grid. Each pixel's edge strength is spread
/// over the cells by `cellWeights` and linearly over the two nearest bins, so that a shift or
/// a slight rotation moves weight smoothly instead of from cell to cell or bin to bin. The
/// spreading is separable: each pixel row is first binned by cell column alone.
Plane orientationHistograms(const Gradients &grad, int cells) {
  const auto width = static_cast<std::size_t>(cells * kOrientationBins);
  Plane hist(width * static_cast<std::size_t>(cells), 0.0f);
  Plane row(width);
  const CellWeights weights = cellWeights(cells);
  for (int y = 1; y < kCropSide - 1; ++y) {
    std::fill(row.begin(), row.end(), 0.0f);
    for (int x = 1; x < kCropSide - 1; ++x) {
      const float m = grad.magnitude[y * kCropSide + x];
      if (m < 1e-3f)
        continue;
      const float bin = grad.bin[y * kCropSide + x];
      const int b0 = static_cast<int>(std::floor(bin));
      const float fb = bin - static_cast<float>(b0);
      const int lo = (b0 + kOrientationBins) % kOrientationBins, hi = (b0 + 1) % kOrientationBins;
      for (int cx = 0; cx < cells; ++cx) {
        const float w = m * weights[x][cx];
        row[static_cast<std::size_t>(cx * kOrientationBins + lo)] += w * (1 - fb);
        row[static_cast<std::size_t>(cx * kOrientationBins + hi)] += w * fb;
      }
    }
    for (int cy = 0; cy < cells; ++cy) {
      const float wy = weights[y][cy];
      float *out = &hist[static_cast<std::size_t>(cy) * width];
      for (std::size_t k = 0; k < width; ++k)
        out[k] += wy * row[k];
    }
  }
  return hist;
}

/// Turns each cell's histogram into its share of edges per orientation (a cell whose edges
/// are weaker than the floor keeps a proportionally smaller share), then centres the block.
Plane orientationBlock(const Gradients &grad, int cells) {
  Plane hist = orientationHistograms(grad, cells);
  const float cellArea =
      static_cast<float>(kCropSide * kCropSide) / static_cast<float>(cells * cells);
  for (int c = 0; c < cells * cells; ++c) {
    float *cell = &hist[static_cast<std::size_t>(c * kOrientationBins)];
    const float total = std::accumulate(cell, cell + kOrientationBins, 0.0f);
    const float divisor = std::max(total, kGradientCellFloor * cellArea);
    for (int b = 0; b < kOrientationBins; ++b) {
      cell[b] /= divisor;
    }
  }
  subtractMean(hist);
  normaliseAgainstFloor(hist, kGradientBlockFloor);
  return hist;
}

/// Mean colour of a coarse grid, measured from neutral grey (not from the image's own mean):
/// it tells a blue frame from an orange one of the same layout.
Plane colourBlock(const Plane &redGreen, const Plane &yellowBlue) {
  const resampler::Region all{0, 0, kCropSide, kCropSide};
  Plane rg = resampler::resample(redGreen, kCropSide, all, kColourSide, kColourSide);
  const Plane yb = resampler::resample(yellowBlue, kCropSide, all, kColourSide, kColourSide);
  rg.insert(rg.end(), yb.begin(), yb.end());
  normaliseAgainstFloor(rg, kColourFloor);
  return rg;
}

/// A soft histogram of the frame's colours, wherever they lie: a scene seen from elsewhere, or
/// later in a shot, keeps its palette while its layout moves. Square roots of the shares
/// (large shares do not swamp small ones), from a typical photograph's.
Plane paletteBlock(const Plane &redGreen, const Plane &yellowBlue) {
  Plane hist(kPaletteBins * kPaletteBins, 0.0f);
  constexpr float kCentre = (kPaletteBins - 1) / 2.0f;
  for (std::size_t i = 0; i < redGreen.size(); ++i) {
    const float u = std::clamp(redGreen[i] / kPaletteStep + kCentre, 0.0f, kPaletteBins - 1.0f);
    const float v = std::clamp(yellowBlue[i] / kPaletteStep + kCentre, 0.0f, kPaletteBins - 1.0f);
    const int u0 = std::min(static_cast<int>(u), kPaletteBins - 2);
    const int v0 = std::min(static_cast<int>(v), kPaletteBins - 2);
    const float fu = u - static_cast<float>(u0), fv = v - static_cast<float>(v0);
    float *cell = &hist[static_cast<std::size_t>(v0 * kPaletteBins + u0)];
    cell[0] += (1 - fu) * (1 - fv);
    cell[1] += fu * (1 - fv);
    cell[kPaletteBins] += (1 - fu) * fv;
    cell[kPaletteBins + 1] += fu * fv;
  }
  for (std::size_t b = 0; b < hist.size(); ++b) {
    hist[b] = std::sqrt(hist[b] / static_cast<float>(redGreen.size())) - kTypicalPalette[b];
  }
  normaliseAgainstFloor(hist, kRootShareFloor);
  return hist;
}

/// Shares of the rotation-invariant ring patterns of a `side` × `side` grey plane: for every
/// interior pixel, which of its 8 neighbours are not darker than it. A pattern with at most two
/// changes around the ring counts by its number of such neighbours (0…8: spots, edges,
/// corners, flats); any other pattern is noise-like texture (the tenth bin). Root shares.
Plane ringPatterns(const Plane &grey, int side) {
  Plane hist(kRingPatterns, 0.0f);
  const int ring[8] = {-side - 1, -side, -side + 1, 1, side + 1, side, side - 1, -1};
  for (int y = 1; y < side - 1; ++y) {
    for (int x = 1; x < side - 1; ++x) {
      const float *p = &grey[static_cast<std::size_t>(y * side + x)];
      int bits[8];
      int ones = 0;
      for (int k = 0; k < 8; ++k) {
        bits[k] = p[ring[k]] >= p[0] - kRingTolerance;
        ones += bits[k];
      }
      int changes = 0;
      for (int k = 0; k < 8; ++k)
        changes += bits[k] != bits[(k + 1) % 8];
      hist[changes <= 2 ? ones : kRingPatterns - 1] += 1.0f;
    }
  }
  for (float &h : hist)
    h = std::sqrt(h / static_cast<float>((side - 2) * (side - 2)));
  return hist;
}

/// The texture of the frame, wherever it lies: ring patterns at two scales, from a typical
/// photograph's.
Plane textureBlock(const Plane &grey) {
  const resampler::Region all{0, 0, kCropSide, kCropSide};
  Plane block = ringPatterns(grey, kCropSide);
  const Plane half = ringPatterns(
      resampler::resample(grey, kCropSide, all, kCropSide / 2, kCropSide / 2), kCropSide / 2);
  block.insert(block.end(), half.begin(), half.end());
  for (std::size_t b = 0; b < block.size(); ++b)
    block[b] -= kTypicalTexture[b];
  normaliseAgainstFloor(block, kRootShareFloor);
  return block;
}

/// The grey layout of the outer ring of cells of the whole frame (not the centre crop): mostly
/// background. A subject moving through a burst changes the middle of the frame and leaves the
/// ring alike, while another shot of the same place or kind (another angle on one hall, another
/// ship on one sea) rarely keeps the same surroundings in the same places. On grey levels, not
/// ranks: the ranks of a flat backdrop are its noise, which a recompressed copy redraws. Damped
/// by `damping` as the layouts are, so that a featureless frame keeps no block at all.
Plane borderRingBlock(const ImagePlanes::Small &small, float damping) {
  const resampler::Region all{0, 0, small.width, small.height};
  const Plane grid = resampler::resample(small.grey, small.width, all, kBorderSide, kBorderSide);
  Plane ring;
  ring.reserve(kBorderCells);
  for (int y = 0; y < kBorderSide; ++y) {
    for (int x = 0; x < kBorderSide; ++x) {
      if (y == 0 || x == 0 || y == kBorderSide - 1 || x == kBorderSide - 1)
        ring.push_back(grid[static_cast<std::size_t>(y * kBorderSide + x)]);
    }
  }
  subtractMean(ring);
  normaliseAgainstFloor(ring, kGreyFloor);
  scale(ring, damping);
  return ring;
}

constexpr std::size_t kCombinedLength =
    kRoughSide * kRoughSide + kCoarseSide * kCoarseSide +
    (kGradientCells * kGradientCells + 4 + 1) * kOrientationBins + 2 * kColourSide * kColourSide +
    kPaletteBins * kPaletteBins + 2 * kRingPatterns + kBorderCells;
static_assert(kCombinedLength == kProjectionColumns,
              "the projection table was fitted to blocks of another length");

/// The weighted blocks at unit length (left as they are at length 1e-6 or less, as the analyzer
/// leaves any vector), followed by their projection on the learned directions along which
/// photos of one burst or shot lie close and different shots far apart. The blocks stay in
/// the vector: alone, the projection pulls some different shots of one scene together.
std::vector<float> extend(std::vector<float> weighted) {
  normalise(weighted);
  weighted.resize(kCombinedLength + kProjectionRows, 0.0f);
  for (std::size_t r = 0; r < kProjectionRows; ++r) {
    const float *row = &kFeatureProjection[r * kProjectionColumns];
    float dot = 0;
    for (std::size_t c = 0; c < kProjectionColumns; ++c)
      dot += row[c] * weighted[c];
    weighted[kCombinedLength + r] = dot;
  }
  return weighted;
}

} // namespace

const Weights &defaultWeights() {
  static const Weights weights = kFeatureWeights;
  return weights;
}

std::array<std::vector<float>, kBlockCount> blocks(const ImagePlanes &planes) {
  const ImagePlanes::Small &small = planes.small();
  const resampler::Region crop = resampler::centreSquare(small.width, small.height);
  const Plane grey = resampler::resample(small.grey, small.width, crop, kCropSide, kCropSide);
  Plane rg = resampler::resample(small.redGreen, small.width, crop, kCropSide, kCropSide);
  Plane yb = resampler::resample(small.yellowBlue, small.width, crop, kCropSide, kCropSide);
  // Colour relative to brightness: a darker or brighter exposure of the same colour keeps it.
  for (std::size_t i = 0; i < rg.size(); ++i) {
    const float scale = kChromaReference / (grey[i] + kChromaReference);
    rg[i] *= scale;
    yb[i] *= scale;
  }
  const Plane ranks = ranked(grey);
  // Edges of a common contrast: a darker or flatter exposure of a scene keeps its edge shares
  // instead of sinking under the cells' floor, while a frame flatter than the contrast floor
  // keeps its faint edges faint.
  Plane levelled = grey;
  scale(levelled, kEdgeContrast / std::max(standardDeviation(grey), kEdgeContrastFloor));
  const Gradients grad = gradients(levelled);
  const float damping = contrastDamping(grey);
  Plane palette = paletteBlock(rg, yb);
  scale(palette, damping);
  Plane texture = textureBlock(ranks);
  scale(texture, damping);
  return {greyLayout(ranks, kRoughSide, damping),
          greyLayout(ranks, kCoarseSide, damping),
          orientationBlock(grad, kGradientCells),
          orientationBlock(grad, 2),
          orientationBlock(grad, 1),
          colourBlock(rg, yb),
          std::move(palette),
          std::move(texture),
          borderRingBlock(small, damping)};
}

std::vector<float> combine(const std::array<std::vector<float>, kBlockCount> &parts,
                           const Weights &weights) {
  std::vector<float> out;
  out.reserve(combinedLength());
  for (std::size_t b = 0; b < kBlockCount; ++b) {
    for (float v : parts[b]) {
      out.push_back(v * weights[b]);
    }
  }
  return out;
}

std::vector<float> compute(const ImagePlanes &planes, float documentWeight,
                           const SourceFacts &facts) {
  std::vector<float> out = extend(combine(blocks(planes), defaultWeights()));
  normalise(out);
  const float share = std::clamp(documentWeight, 0.0f, 1.0f);
  if (share == 0.0f) {
    out.resize(out.size() + pagelayout::kLength, 0.0f);
    return out;
  }
  // The weight turns the vector from the blocks towards the layout, so that the same picture
  // at two weights lies apart by about the angle between them, whatever the weights are.
  const double angle = kLayoutAngle * static_cast<double>(share);
  const auto blocks = static_cast<float>(std::cos(angle));
  const auto layout = static_cast<float>(std::sin(angle));
  for (float &v : out)
    v *= blocks;
  for (const float v : pagelayout::block(planes, facts))
    out.push_back(layout * v);
  return out;
}

std::size_t length() { return kCombinedLength + kProjectionRows + pagelayout::kLength; }

std::size_t combinedLength() { return kCombinedLength; }

} // namespace lumora::featureprint
