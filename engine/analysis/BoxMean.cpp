#include "engine/analysis/BoxMean.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>

namespace lumora::boxmean {

std::vector<float> of(const std::vector<float> &plane, int width, int height, int radius) {
  const auto at = [width](int x, int y) { return static_cast<std::size_t>(y * width + x); };
  std::vector<double> sums(static_cast<std::size_t>((width + 1) * (height + 1)), 0.0);
  const auto sum = [&](int x, int y) -> double & {
    return sums[static_cast<std::size_t>(y * (width + 1) + x)];
  };
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      sum(x + 1, y + 1) = plane[at(x, y)] + sum(x, y + 1) + sum(x + 1, y) - sum(x, y);
  }
  std::vector<float> out(plane.size());
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

std::vector<float> relief(std::vector<float> grid, int width, int height, int radius,
                          double floorLength) {
  const std::vector<float> blurred = of(grid, width, height, radius);
  for (std::size_t i = 0; i < grid.size(); ++i)
    grid[i] -= blurred[i];
  const double mean = std::accumulate(grid.begin(), grid.end(), 0.0) / grid.size();
  double squares = 0;
  for (float &v : grid) {
    v -= static_cast<float>(mean);
    squares += static_cast<double>(v) * v;
  }
  const double divisor = std::max(std::sqrt(squares), floorLength);
  for (float &v : grid)
    v = static_cast<float>(v / divisor);
  return grid;
}

} // namespace lumora::boxmean
