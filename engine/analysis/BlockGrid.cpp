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

/// The amplitude of `profile`'s component of period `period` (its mean taken out). The phase
/// turns by one step per sample; a few thousand turns keep it exact far beyond what matters.
double amplitude(const std::vector<double> &profile, double mean, double period) {
  std::complex<double> sum;
  std::complex<double> phase = 1.0;
  const std::complex<double> turn = std::polar(1.0, -2.0 * std::numbers::pi / period);
  for (const double value : profile) {
    sum += (value - mean) * phase;
    phase *= turn;
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
  // columns), summed in integers.
  std::vector<std::uint32_t> acrossSums(static_cast<std::size_t>(width - 1));
  std::vector<double> down(static_cast<std::size_t>(height - 1));
  for (int y = 0; y < height; ++y) {
    const std::uint8_t *row = grey.data() + static_cast<std::size_t>(y) * width;
    for (int x = 0; x + 1 < width; ++x) {
      acrossSums[static_cast<std::size_t>(x)] +=
          static_cast<std::uint32_t>(std::abs(row[x + 1] - row[x]));
    }
    if (y + 1 < height) {
      const std::uint8_t *next = row + width;
      std::uint32_t rowSum = 0;
      for (int x = 0; x < width; ++x) {
        rowSum += static_cast<std::uint32_t>(std::abs(next[x] - row[x]));
      }
      down[static_cast<std::size_t>(y)] = static_cast<double>(rowSum) / width;
    }
  }
  std::vector<double> across(acrossSums.size());
  for (std::size_t x = 0; x < across.size(); ++x) {
    across[x] = static_cast<double>(acrossSums[x]) / height;
  }
  return static_cast<float>((profileShare(across, period) + profileShare(down, period)) / 2.0);
}

} // namespace lumora::blockgrid
