#include "engine/analysis/PageLayout.h"

#include "engine/analysis/Resampler.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace lumora::pagelayout {

namespace {

// Pixels on each side of the window whose mean a pixel's detail is measured against: a letter
// of a page at thumbnail size is a few pixels high.
constexpr int kDetailRadius = 2;
// Detail is counted up to this many grey levels: a page's edge on a scanner's dark lid or a
// window's black frame counts no more than a line of print.
constexpr float kDetailCeiling = 30.0f;
// The blurred grid taken off is the mean of each cell's 5 × 5 neighbourhood.
constexpr int kBlurRadius = 2;
// Each cell's detail is compressed by this power: a dense block of print does not drown the
// sparser lines around it.
constexpr float kCellPower = 0.75f;
// Root-mean-square floor per entry below which the layout is not scaled up to unit length.
constexpr float kLayoutFloor = 0.1f;

using Plane = std::vector<float>;

/// The mean of every pixel's (2r + 1)² window, edges clamped, from a summed-area table.
Plane boxMean(const Plane &plane, int width, int height, int radius) {
  const auto at = [width](int x, int y) { return static_cast<std::size_t>(y * width + x); };
  std::vector<double> sums(static_cast<std::size_t>((width + 1) * (height + 1)), 0.0);
  const auto sum = [&](int x, int y) -> double & {
    return sums[static_cast<std::size_t>(y * (width + 1) + x)];
  };
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      sum(x + 1, y + 1) = plane[at(x, y)] + sum(x, y + 1) + sum(x + 1, y) - sum(x, y);
  }
  Plane out(plane.size());
  for (int y = 0; y < height; ++y) {
    const int y0 = std::max(0, y - radius), y1 = std::min(height, y + radius + 1);
    for (int x = 0; x < width; ++x) {
      const int x0 = std::max(0, x - radius), x1 = std::min(width, x + radius + 1);
      const double total = sum(x1, y1) - sum(x0, y1) - sum(x1, y0) + sum(x0, y0);
      out[at(x, y)] = static_cast<float>(total / ((x1 - x0) * (y1 - y0)));
    }
  }
  return out;
}

} // namespace

std::vector<float> describe(const ImagePlanes::Small &small) {
  const int w = small.width, h = small.height;
  if (w < 1 || h < 1)
    return Plane(kLength, 0.0f);
  const Plane local = boxMean(small.grey, w, h, kDetailRadius);
  Plane detail(small.grey.size());
  for (std::size_t i = 0; i < detail.size(); ++i)
    detail[i] = std::min(kDetailCeiling, std::abs(small.grey[i] - local[i]));
  Plane grid = resampler::resample(detail, w, resampler::Region{0, 0, w, h}, kGridSide, kGridSide);
  for (float &v : grid)
    v = std::pow(std::max(0.0f, v), kCellPower);
  const Plane blurred = boxMean(grid, kGridSide, kGridSide, kBlurRadius);
  for (std::size_t i = 0; i < grid.size(); ++i)
    grid[i] -= blurred[i];
  const double mean = std::accumulate(grid.begin(), grid.end(), 0.0) / grid.size();
  double squares = 0;
  for (float &v : grid) {
    v -= static_cast<float>(mean);
    squares += static_cast<double>(v) * v;
  }
  const double divisor =
      std::max(std::sqrt(squares), kLayoutFloor * std::sqrt(static_cast<double>(kLength)));
  for (float &v : grid)
    v = static_cast<float>(v / divisor);
  return grid;
}

} // namespace lumora::pagelayout
