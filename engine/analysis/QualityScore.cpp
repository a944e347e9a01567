#include "engine/analysis/QualityScore.h"

#include <algorithm>
#include <cmath>

namespace lumora::QualityScore {

namespace {

float clamp1(float v) { return std::clamp(v, -1.0f, 1.0f); }

/// +1 for a mid-toned frame, falling off towards very dark or very bright means.
float exposureTerm(const QualityMeasures &m) {
  const float offset = (m.meanGrey - 118.0f) / 95.0f;
  return clamp1(1.0f - 2.0f * offset * offset);
}

/// 0 up to a small share of clipped pixels, then increasingly negative.
float clippingTerm(const QualityMeasures &m) {
  const float bright = std::max(0.0f, m.clippedBright - 0.01f);
  const float dark = std::max(0.0f, m.clippedDark - 0.03f);
  return -std::min(1.0f, 4.0f * bright + 3.0f * dark);
}

float contrastTerm(const QualityMeasures &m) { return clamp1((m.contrast - 30.0f) / 25.0f); }

float colourTerm(const QualityMeasures &m) { return clamp1((m.colourfulness - 20.0f) / 40.0f); }

/// Sharpness on a log scale: around 100 squared levels is soft, 1000 crisp.
float sharpnessTerm(const QualityMeasures &m) {
  return clamp1((std::log10(m.sharpness + 1.0f) - 2.2f) / 0.8f);
}

float noiseTerm(const QualityMeasures &m) { return -std::clamp((m.noise - 3.0f) / 8.0f, 0.0f, 1.0f); }

} // namespace

float score(const QualityMeasures &m) {
  const float blend = 0.15f + 0.30f * exposureTerm(m) + 0.55f * clippingTerm(m) +
                      0.25f * contrastTerm(m) + 0.20f * colourTerm(m) +
                      0.45f * sharpnessTerm(m) + 0.35f * noiseTerm(m);
  const float s = std::tanh(blend);
  return std::isfinite(s) ? s : 0.0f;
}

bool isUtility(const QualityMeasures &m) {
  const bool screenLike = m.exactFlat >= 0.35f && m.dominantColours >= 0.45f && m.noise < 2.0f;
  const bool pageLike = m.paper >= 0.6f && m.ink >= 0.005f && m.ink <= 0.3f &&
                        m.colourfulness < 15.0f && m.noise < 3.0f;
  return screenLike || pageLike;
}

Assessment assess(const PixelView &image, const ImagePlanes &planes, float sharpness) {
  const QualityMeasures m = QualityMeasures::measure(image, planes, sharpness);
  return Assessment{score(m), isUtility(m)};
}

} // namespace lumora::QualityScore
