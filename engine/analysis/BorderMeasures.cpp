#include "engine/analysis/BorderMeasures.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace lumora::bordermeasures {

namespace {

/// Pixels of a border band in runs along its side, by grey level: a run holds at least
/// `minRun` pixels whose grey stays within `tolerance` levels and is filed under its darkest
/// grey; runs of pure black or white are left out.
struct BorderRuns {
  int tolerance = 0;
  std::size_t read = 0;
  std::array<std::size_t, 256> byGrey{};
  /// Pixels read and pixels in runs per side: top, bottom, left, right.
  std::array<std::size_t, 4> sideRead{}, sideInRuns{};

  void addLine(int side, const std::uint8_t *start, std::size_t step, int length, int minRun) {
    read += static_cast<std::size_t>(length);
    sideRead[static_cast<std::size_t>(side)] += static_cast<std::size_t>(length);
    int i = 0;
    while (i < length) {
      int low = start[static_cast<std::size_t>(i) * step], high = low, j = i + 1;
      for (; j < length; ++j) {
        const int v = start[static_cast<std::size_t>(j) * step];
        if (std::max(high, v) - std::min(low, v) > tolerance)
          break;
        low = std::min(low, v);
        high = std::max(high, v);
      }
      if (j - i >= minRun && low > 3 && high < 252) {
        byGrey[static_cast<std::size_t>(low)] += static_cast<std::size_t>(j - i);
        sideInRuns[static_cast<std::size_t>(side)] += static_cast<std::size_t>(j - i);
      }
      i = j;
    }
  }
};

/// Flat runs along each side in its outer eighth (rows along the top and bottom, columns along
/// the left and right), within `tolerance` grey levels. Runs shorter than a sixteenth of the
/// side are left out: bars and panels span far more, while the flattened blocks of a dark,
/// compressed video frame come in shorter pieces. Every fourth line is read: panels are many
/// lines deep.
BorderRuns borderRuns(const ImagePlanes &planes, int tolerance) {
  const int w = planes.width(), h = planes.height();
  const std::uint8_t *g = planes.grey().data();
  const int bandY = std::max(1, h / 8), bandX = std::max(1, w / 8);
  const int runX = std::max(6, w / 16), runY = std::max(6, h / 16);
  const auto stride = static_cast<std::size_t>(w);
  BorderRuns runs{tolerance};
  for (int y = 0; y < bandY; y += 4) {
    runs.addLine(0, g + static_cast<std::size_t>(y) * stride, 1, w, runX);
    runs.addLine(1, g + static_cast<std::size_t>(h - 1 - y) * stride, 1, w, runX);
  }
  for (int x = 0; x < bandX; x += 4) {
    runs.addLine(2, g + x, stride, h, runY);
    runs.addLine(3, g + (w - 1 - x), stride, h, runY);
  }
  return runs;
}

} // namespace

/// A window's frame (title, menu, tool and status bars, rulers, side panels) is made of
/// panels of exact colours along the image's edges, even around a photo or a dark canvas; a
/// photograph's border has no such runs but where it is clipped, a smooth gradient (a sky, a
/// wallpaper) is flat only within a tolerance, and a plain mount around a photo is one grey.
void measure(const ImagePlanes &planes, QualityMeasures &m) {
  const BorderRuns exact = borderRuns(planes, 0), near = borderRuns(planes, 2);
  std::size_t inExact = 0, inNear = 0;
  for (std::size_t v = 0; v < 256; ++v) {
    inExact += exact.byGrey[v];
    inNear += near.byGrey[v];
  }
  std::array<std::size_t, 256> greys = exact.byGrey;
  std::partial_sort(greys.begin(), greys.begin() + 3, greys.end(), std::greater<>());
  const std::size_t mainGrey = greys[0];
  const auto share = [](std::size_t part, std::size_t whole) {
    return whole == 0 ? 0.0f
                      : static_cast<float>(static_cast<double>(part) / static_cast<double>(whole));
  };
  m.flatBorder = share(inExact, exact.read);
  m.nearFlatBorder = share(inNear, near.read);
  m.flatBorderOneGrey = share(mainGrey, inExact);
  m.flatBorderFewGreys = share(greys[0] + greys[1] + greys[2], inExact);
  for (std::size_t side = 0; side < 4; ++side) {
    m.flatBorderSides += share(exact.sideInRuns[side], exact.sideRead[side]) >= 0.2f ? 1.0f : 0.0f;
  }
}

} // namespace lumora::bordermeasures
