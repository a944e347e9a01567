#include "engine/analysis/QualityScore.h"

#include "engine/analysis/UtilityClassifier.h"

#include <algorithm>
#include <cmath>

namespace lumora::qualityscore {

namespace {

float clamp1(float v) { return std::clamp(v, -1.0f, 1.0f); }

/// 0 over a wide band of tones, falling off towards clearly dark or clearly bright frames
/// (low-key and high-key photos are common and not faults; an underexposed frame is).
float exposureTerm(const QualityMeasures &m) {
  const float dark = std::max(0.0f, 75.0f - m.meanGrey) / 35.0f;
  const float bright = std::max(0.0f, m.meanGrey - 175.0f) / 45.0f;
  return -std::min(1.0f, dark * dark + bright * bright);
}

/// Blown highlights and crushed shadows. Saturated colours often clip one channel in a good
/// photo, so channel clipping counts only beyond a fifth of the frame.
float clippingTerm(const QualityMeasures &m) {
  const float bright = std::max(0.0f, m.clippedBright - 0.005f);
  const float dark = std::max(0.0f, m.clippedDark - 0.03f);
  const float channel = std::max(0.0f, m.clippedChannel - 0.2f);
  return -std::min(1.0f, 8.0f * bright + 3.0f * dark + 4.0f * channel);
}

/// Only a lack of contrast counts: stretching a frame does not make it better.
float contrastTerm(const QualityMeasures &m) {
  return std::clamp((m.contrast - 32.0f) / 20.0f, -1.0f, 0.0f);
}

float colourTerm(const QualityMeasures &m) { return clamp1((m.colourfulness - 15.0f) / 30.0f); }

/// How visible the estimated noise is: not at all below 0.75 grey levels (the grain and
/// compression residue of a clean photo's thumbnail), fully from 1.75 on. Without this, the
/// faint grain of a smooth, clean frame counted as its main fault, and a blurred copy that had
/// lost the grain along with the detail scored higher.
float noiseVisibility(const QualityMeasures &m) { return std::clamp(m.noise - 0.75f, 0.0f, 1.0f); }

/// The part of the Laplacian variance that visible noise explains (white noise of deviation σ
/// in the thumbnail adds about 5σ² at the 256-pixel rendering).
float noiseVariance(const QualityMeasures &m) {
  return 5.0f * m.noise * m.noise * noiseVisibility(m);
}

/// Detail relative to contrast: the Laplacian variance less its noise part, over the squared
/// contrast. A brighter or darker copy keeps the ratio; a blurred copy loses it. Below −1 the
/// term keeps falling at a quarter of the rate (down to −2), so that among smooth frames (mist,
/// a storm sky) a blurred copy still scores below its original.
float sharpnessTerm(const QualityMeasures &m) {
  const float signal = std::max(1.0f, m.sharpness - noiseVariance(m));
  const float contrast = std::max(4.0f, m.contrast);
  const float term = (std::log10(signal / (contrast * contrast)) + 1.0f) / 0.6f;
  return std::clamp(term < -1.0f ? -1.0f + 0.25f * (term + 1.0f) : term, -2.0f, 1.0f);
}

/// Noise as the share of the Laplacian variance it explains. Fine texture also passes for
/// noise in a thumbnail, but its share of the detail stays small and blurring does not change
/// it, so a blurred copy of a textured frame does not win by looking clean.
float noiseTerm(const QualityMeasures &m) {
  return -std::min(1.0f, noiseVariance(m) / std::max(1.0f, m.sharpness));
}

} // namespace

float score(const QualityMeasures &m) {
  // A linear blend, clamped, rather than a squashing curve: equal penalties move good and
  // mediocre photos alike, so a degraded copy falls behind its original by the same margin.
  const float blend = 0.4f + 0.4f * exposureTerm(m) + 0.5f * clippingTerm(m) +
                      0.25f * contrastTerm(m) + 0.1f * colourTerm(m) + 0.4f * sharpnessTerm(m) +
                      0.6f * noiseTerm(m);
  return std::isfinite(blend) ? clamp1(blend) : 0.0f;
}

bool isUtility(const QualityMeasures &m) { return utilityclassifier::isUtility(m); }

float withSourceSize(float score, std::int64_t sourcePixels) {
  if (sourcePixels <= 0 || sourcePixels >= kFullPixels) {
    return score;
  }
  const double halvings =
      std::log2(static_cast<double>(kFullPixels) / static_cast<double>(sourcePixels));
  const auto penalty = static_cast<float>(std::min(0.6, 0.15 * halvings));
  return clamp1(score - penalty);
}

Assessment assess(const PixelView &image, const ImagePlanes &planes, float sharpness,
                  float detail) {
  const QualityMeasures m = QualityMeasures::measure(image, planes, sharpness);
  // The flag and the document weight read the picture as it is; only the score hears of
  // the damage.
  QualityMeasures scored = m;
  scored.sharpness = std::min(sharpness, detail);
  return Assessment{score(scored), isUtility(m), utilityclassifier::documentWeight(m)};
}

} // namespace lumora::qualityscore
