#include "engine/analysis/TextLayout.h"

#include "engine/analysis/BoxMean.h"
#include "engine/analysis/Resampler.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace lumora::textlayout {

namespace {

// A step is counted up to this many grey levels: the bold edge of a dark frame counts no more
// than a stroke of print.
constexpr float kStepCeiling = 30.0f;
// The writing less this multiple of its median: what paper grain and sensor noise leave.
constexpr float kNoiseFloor = 2.0f;
// The share of the writing left outside the box on each side, and the box's margin.
constexpr double kBoxTail = 0.01;
constexpr double kBoxMargin = 0.02;
// Marks stronger than this share of the writing at this rank place the box.
constexpr float kStrongShare = 0.2f;
constexpr double kStrongRank = 0.995;
// Below this root-mean-square per entry the grid is not scaled up to unit length.
constexpr float kFloor = 0.1f;

using Plane = std::vector<float>;

/// The absolute central differences across (`dx` 1) or along (`dy` 1), halved and capped.
Plane steps(const Plane &grey, int width, int height, int dx, int dy) {
  Plane out(grey.size(), 0.0f);
  for (int y = dy; y < height - dy; ++y) {
    for (int x = dx; x < width - dx; ++x) {
      const auto at = [&](int px, int py) {
        return grey[static_cast<std::size_t>(py * width + px)];
      };
      out[static_cast<std::size_t>(y * width + x)] =
          std::min(kStepCeiling, std::abs(at(x + dx, y + dy) - at(x - dx, y - dy)) / 2.0f);
    }
  }
  return out;
}

/// The value at `rank` (0…1) of the plane's values in ascending order.
float ranked(Plane plane, double rank) {
  const auto at = plane.begin() + static_cast<std::ptrdiff_t>(rank * (plane.size() - 1));
  std::nth_element(plane.begin(), at, plane.end());
  return *at;
}

float median(const Plane &plane) { return ranked(plane, 0.5); }

/// The place along `profile` (a running sum) where the share `share` of its total is reached.
int quantile(const std::vector<double> &running, double share) {
  const double goal = share * running.back();
  return static_cast<int>(std::lower_bound(running.begin(), running.end(), goal) - running.begin());
}

/// [¼ ½ ¼] along each row and each column of a grid, edges repeated.
void soften(Plane &grid, int side) {
  Plane copy = grid;
  for (int pass = 0; pass < 2; ++pass) {
    for (int a = 0; a < side; ++a) {
      for (int b = 0; b < side; ++b) {
        const auto at = [&](int i) {
          const int c = std::clamp(i, 0, side - 1);
          return pass == 0 ? copy[static_cast<std::size_t>(a * side + c)]
                           : copy[static_cast<std::size_t>(c * side + a)];
        };
        const float v = 0.25f * at(b - 1) + 0.5f * at(b) + 0.25f * at(b + 1);
        grid[static_cast<std::size_t>(pass == 0 ? a * side + b : b * side + a)] = v;
      }
    }
    copy = grid;
  }
}

} // namespace

std::vector<float> writing(const std::vector<std::uint8_t> &grey, int width, int height) {
  // The steps are taken on a 3 × 3 average: a JPEG re-save rings around each letter a pixel
  // wide, which on its own would count as writing where the original has none; averaged, the
  // ringing mostly cancels while the letters, a few pixels tall even in a small dialog, remain.
  const Plane smooth = boxmean::of(Plane(grey.begin(), grey.end()), width, height, 1);
  Plane across = boxmean::of(steps(smooth, width, height, 1, 0), width, height, 1);
  Plane along = boxmean::of(steps(smooth, width, height, 0, 1), width, height, 1);
  // Each way's noise is taken off before the two meet: a rule under sensor noise steps one way
  // by its ink and the other by the noise, and must not pass for writing.
  for (Plane *plane : {&across, &along}) {
    const float floor = kNoiseFloor * median(*plane);
    for (float &v : *plane)
      v = std::max(0.0f, v - floor);
  }
  Plane out(grey.size());
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = std::sqrt(across[i] * along[i]);
  return boxmean::of(out, width, height, 2);
}

Box writingBox(const std::vector<float> &writing, int width, int height) {
  // Only strong marks place the box: the grain and noise left all over a photographed page or
  // a noisy desktop would otherwise stretch it to the frame.
  const float strong = kStrongShare * ranked(writing, kStrongRank);
  std::vector<double> across(static_cast<std::size_t>(width), 0.0);
  std::vector<double> along(static_cast<std::size_t>(height), 0.0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const float v = writing[static_cast<std::size_t>(y * width + x)];
      if (v <= strong)
        continue;
      across[static_cast<std::size_t>(x)] += v;
      along[static_cast<std::size_t>(y)] += v;
    }
  }
  std::partial_sum(across.begin(), across.end(), across.begin());
  std::partial_sum(along.begin(), along.end(), along.begin());
  if (across.back() <= 0.0)
    return Box{0, 0, width, height};
  int x0 = quantile(across, kBoxTail), x1 = quantile(across, 1.0 - kBoxTail) + 1;
  int y0 = quantile(along, kBoxTail), y1 = quantile(along, 1.0 - kBoxTail) + 1;
  const int margin = static_cast<int>(std::lround(kBoxMargin * std::max(x1 - x0, y1 - y0)));
  x0 = std::max(0, x0 - margin);
  y0 = std::max(0, y0 - margin);
  x1 = std::min(width, x1 + margin);
  y1 = std::min(height, y1 + margin);
  return Box{x0, y0, std::max(1, x1 - x0), std::max(1, y1 - y0)};
}

std::vector<float> describe(const ImagePlanes &planes) {
  const int w = planes.width(), h = planes.height();
  if (w < 3 || h < 3)
    return Plane(kLength, 0.0f);
  const Plane marks = writing(planes.grey(), w, h);
  const Box box = writingBox(marks, w, h);
  Plane grid = resampler::resample(marks, w, resampler::Region{box.x, box.y, box.width, box.height},
                                   kGridSide, kGridSide);
  soften(grid, kGridSide);
  for (float &v : grid)
    v = std::sqrt(std::max(0.0f, v));
  const Plane blurred = boxmean::of(grid, kGridSide, kGridSide, 2);
  for (std::size_t i = 0; i < grid.size(); ++i)
    grid[i] -= blurred[i];
  const double mean = std::accumulate(grid.begin(), grid.end(), 0.0) / grid.size();
  double squares = 0;
  for (float &v : grid) {
    v -= static_cast<float>(mean);
    squares += static_cast<double>(v) * v;
  }
  const double divisor = std::max(std::sqrt(squares), kFloor * std::sqrt(double(kLength)));
  for (float &v : grid)
    v = static_cast<float>(v / divisor);
  return grid;
}

} // namespace lumora::textlayout
