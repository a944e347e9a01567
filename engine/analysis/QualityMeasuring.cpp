#include "engine/analysis/QualityMeasures.h"

#include "engine/analysis/BorderMeasures.h"
#include "engine/analysis/ExactPixelMeasures.h"
#include "engine/analysis/LineMeasures.h"
#include "engine/analysis/MarkMeasures.h"
#include "engine/analysis/PrintMeasures.h"
#include "engine/analysis/SurroundMeasures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

// The measuring itself: the tone, colour, noise and edge measures here; the families of
// measures, each in a file of its own, fill in the `QualityMeasures` they are given.
namespace lumora {

namespace {

void measureTones(const ImagePlanes &planes, QualityMeasures &m) {
  const std::vector<float> &grey = planes.small().grey;
  double sum = 0, sumSquares = 0;
  std::size_t dark = 0, bright = 0;
  for (float v : grey) {
    sum += v;
    sumSquares += static_cast<double>(v) * v;
    dark += v <= 3.5f;
    bright += v >= 244.5f;
  }
  const double n = static_cast<double>(grey.size());
  const double mean = sum / n;
  m.meanGrey = static_cast<float>(mean);
  m.contrast = static_cast<float>(std::sqrt(std::max(0.0, sumSquares / n - mean * mean)));
  m.clippedDark = static_cast<float>(dark / n);
  m.clippedBright = static_cast<float>(bright / n);
}

/// Colourfulness after Hasler and Süsstrunk, plus the share of page-like pixels.
void measureColour(const ImagePlanes &planes, QualityMeasures &m) {
  const ImagePlanes::Small &small = planes.small();
  double rg = 0, yb = 0, rg2 = 0, yb2 = 0;
  std::size_t paper = 0;
  const std::size_t n = small.grey.size();
  for (std::size_t i = 0; i < n; ++i) {
    const float a = small.redGreen[i], b = small.yellowBlue[i], g = small.grey[i];
    rg += a;
    yb += b;
    rg2 += static_cast<double>(a) * a;
    yb2 += static_cast<double>(b) * b;
    paper += g >= 200 && std::abs(a) < 12 && std::abs(b) < 12;
  }
  const double count = static_cast<double>(n);
  const double mrg = rg / count, myb = yb / count;
  const double spread =
      std::sqrt(std::max(0.0, rg2 / count - mrg * mrg) + std::max(0.0, yb2 / count - myb * myb));
  m.colourfulness = static_cast<float>(spread + 0.3 * std::sqrt(mrg * mrg + myb * myb));
  m.paper = static_cast<float>(static_cast<double>(paper) / count);
}

/// How much of the edge strength runs horizontally or vertically: nearly all of it in a
/// window or a page of text, about a fifth in a photograph or a drawing with curves.
void measureEdgeDirections(const ImagePlanes &planes, QualityMeasures &m) {
  const ImagePlanes::Small &s = planes.small();
  double total = 0, aligned = 0;
  for (int y = 1; y + 1 < s.height; ++y) {
    const float *row = &s.grey[static_cast<std::size_t>(y) * s.width];
    for (int x = 1; x + 1 < s.width; ++x) {
      const float gx = std::abs(row[x + 1] - row[x - 1]);
      const float gy = std::abs(row[x + s.width] - row[x - s.width]);
      const float strength = gx + gy;
      total += strength;
      // tan 10° ≈ 0.176
      if (gx <= 0.176f * gy || gy <= 0.176f * gx)
        aligned += strength;
    }
  }
  m.axisAligned = total > 0 ? static_cast<float>(aligned / total) : 0.0f;
}

/// Sensor noise from the response to a mask that cancels planes and straight edges (its
/// weights have unit-free norm 6). Edges and texture also respond, so the estimate is taken
/// from the quietest tenth of the samples: for Gaussian noise of deviation σ the 10th
/// percentile of |response| is 0.1257 × 6σ.
void measureNoise(const ImagePlanes &planes, QualityMeasures &m) {
  const int w = planes.width(), h = planes.height();
  const std::uint8_t *g = planes.grey().data();
  constexpr int kBins = 1024;
  constexpr int kBinsPerLevel = 1;
  std::array<std::uint32_t, kBins> histogram{};
  std::uint32_t n = 0;
  for (int y = 1; y < h - 1; y += 3) {
    const std::uint8_t *r0 = g + static_cast<std::size_t>(y - 1) * w;
    const std::uint8_t *r1 = r0 + w;
    const std::uint8_t *r2 = r1 + w;
    for (int x = 1; x < w - 1; x += 3) {
      const int response = (r0[x - 1] + r0[x + 1] + r2[x - 1] + r2[x + 1]) -
                           2 * (r0[x] + r1[x - 1] + r1[x + 1] + r2[x]) + 4 * r1[x];
      ++histogram[static_cast<std::size_t>(
          std::min(std::abs(response) * kBinsPerLevel, kBins - 1))];
      ++n;
    }
  }
  std::uint32_t seen = 0;
  int bin = 0;
  while (bin < kBins - 1 && seen + histogram[bin] < n / 10)
    seen += histogram[bin++];
  // Responses are whole numbers: spread each bin's count evenly over bin ± ½ to read the
  // percentile between them.
  const float within = histogram[bin] == 0
                           ? 0.0f
                           : static_cast<float>(n / 10 - seen) / static_cast<float>(histogram[bin]);
  const float decile =
      std::max(0.0f, static_cast<float>(bin) - 0.5f + within) / static_cast<float>(kBinsPerLevel);
  m.noise = n == 0 ? 0.0f : decile / (0.1257f * 6.0f);
}

} // namespace

QualityMeasures QualityMeasures::measure(const PixelView &image, const ImagePlanes &planes,
                                         float sharpness) {
  QualityMeasures m;
  m.sharpness = sharpness;
  measureTones(planes, m);
  measureColour(planes, m);
  measureNoise(planes, m);
  measureEdgeDirections(planes, m);
  exactpixels::measureFlatness(image, m);
  exactpixels::measureDominantColours(image, m);
  printmeasures::measure(planes, m);
  bordermeasures::measure(planes, m);
  const markmeasures::Marks marks = markmeasures::measure(planes);
  m.markLines = marks.markLines;
  m.straightEdges = marks.straightEdges;
  m.boxedPanels = surroundmeasures::boxedPanels(planes);
  const linemeasures::Paper paper = linemeasures::paper(planes);
  m.lineRhythm = paper.lineRhythm;
  m.darkLineRhythm = linemeasures::darkLineRhythm(planes);
  m.pageShape = paper.pageShape;
  return m;
}

} // namespace lumora
