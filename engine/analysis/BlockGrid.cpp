#include "engine/analysis/BlockGrid.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace lumora::blockgrid {

namespace {

/// Periods close to the grid's, as factors of it: what the profile holds there is the
/// scene's own share, which a grid line has to rise above. None is a harmonic or a
/// subharmonic of the grid.
constexpr std::array<double, 8> kNearby{0.85, 0.88, 0.91, 0.94, 1.06, 1.09, 1.12, 1.15};

/// The amplitude of `profile`'s component of period `period` (its mean taken out).
double amplitude(const std::vector<double> &profile, double mean, double period) {
  std::complex<double> sum;
  const double step = 2.0 * std::numbers::pi / period;
  for (std::size_t i = 0; i < profile.size(); ++i) {
    sum += (profile[i] - mean) * std::polar(1.0, -step * static_cast<double>(i));
  }
  return 2.0 * std::abs(sum) / static_cast<double>(profile.size());
}

/// The grid's share of one profile of mean steps: its line above the nearby periods' level,
/// over the mean step.
double profileShare(const std::vector<double> &profile, double period) {
  double mean = 0;
  for (const double v : profile) {
    mean += v;
  }
  mean /= static_cast<double>(profile.size());
  if (mean <= 0) {
    return 0;
  }
  double nearby = 0;
  for (const double factor : kNearby) {
    const double a = amplitude(profile, mean, period * factor);
    nearby += a * a;
  }
  nearby = std::sqrt(nearby / kNearby.size());
  return std::max(0.0, amplitude(profile, mean, period) - nearby) / mean;
}

} // namespace

float share(const ImagePlanes &planes, double period) {
  const int width = planes.width();
  const int height = planes.height();
  if (!(period >= kSmallestPeriod) || width < 4 * period + 1 || height < 4 * period + 1) {
    return 0;
  }
  const std::vector<std::uint8_t> &grey = planes.grey();
  // Mean step across each column boundary (along the rows) and each row boundary (down the
  // columns).
  std::vector<double> across(static_cast<std::size_t>(width - 1));
  std::vector<double> down(static_cast<std::size_t>(height - 1));
  for (int y = 0; y < height; ++y) {
    const std::uint8_t *row = grey.data() + static_cast<std::size_t>(y) * width;
    const std::uint8_t *next = row + width;
    double rowSum = 0;
    for (int x = 0; x < width; ++x) {
      if (x + 1 < width) {
        across[static_cast<std::size_t>(x)] += std::abs(row[x + 1] - row[x]);
      }
      if (y + 1 < height) {
        rowSum += std::abs(next[x] - row[x]);
      }
    }
    if (y + 1 < height) {
      down[static_cast<std::size_t>(y)] = rowSum / width;
    }
  }
  for (double &v : across) {
    v /= height;
  }
  return static_cast<float>((profileShare(across, period) + profileShare(down, period)) / 2.0);
}

} // namespace lumora::blockgrid
