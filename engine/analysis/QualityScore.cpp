#include "engine/analysis/QualityScore.h"

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

namespace {

/// Drawn, not photographed: no sensor noise, few exact colours covering most of the frame,
/// edges running along the axes (text lines, panels), and some structure (a blank or
/// blown-out frame is neither). Drawings with curves and colourful art are not.
bool drawn(const QualityMeasures &m) {
  return m.noise < 1.0f && m.dominantColours >= 0.6f && m.colourfulness < 80.0f &&
         m.contrast >= 8.0f && m.axisAligned >= 0.3f;
}

/// A window: free of noise, edges along the axes, a few exact colours over a good part of it
/// and some flat areas in colours other than pure black or white. Holds for light and dark
/// themes, and for windows that show a picture or a chart in part of them.
bool windowLike(const QualityMeasures &m) {
  // A frame nearly black, soft and without colour is a night photo: compression flattens its
  // dark greys into a few exact levels that mimic panels, while a dark theme's panels are grey
  // rather than black and a window on black has crisp lettering or coloured marks.
  const bool dimAndSoft = m.meanGrey < 25.0f && m.sharpness < 300.0f && m.colourfulness < 8.0f;
  if (dimAndSoft)
    return false;
  // Panels come in a few exact colours; the flat steps of a smooth sky, fog or a plain wall
  // photographed without noise spread over many greys. A window in more colours still has
  // crisp lettering and little plain, smooth ground (snow and mist are mostly that). Where the
  // two cannot be told apart, the picture counts as a photo.
  const bool fewColours = m.flatFewGreys >= 0.85f;
  // The edges of a window's controls and its lettering are crisp, even in a nearly empty
  // window; a minimal composition photographed without noise (a leaf on a plain dark ground,
  // a moon in a black sky) is soft.
  const bool crisp = m.sharpness >= 60.0f;
  const bool crispPanels = m.flatFewGreys >= 0.55f && m.sharpness >= 300.0f && m.plainPaper < 0.4f;
  const bool flatColours = drawn(m) && m.exactFlat >= 0.4f && fewColours && crisp;
  const bool panels = m.noise < 0.2f && m.axisAligned >= 0.35f && m.dominantColours >= 0.3f &&
                      m.exactFlat >= 0.02f && m.colourfulness < 100.0f && m.contrast >= 8.0f &&
                      crisp && (fewColours || crispPanels);
  // A mostly empty window (a file list of an empty folder, an empty editor): hardly any
  // contrast, but nearly one exact colour, and what edges there are run along the axes.
  const bool empty = m.noise < 0.3f && m.axisAligned >= 0.55f && m.dominantColours >= 0.8f &&
                     m.contrast >= 2.0f && fewColours;
  // A dark window on pure black (a circuit board editor, a terminal), or a sky chart that is
  // nearly all black but for round stars, or a rendered scene on black whose shapes end at
  // the pixel: their detail far exceeds the squared contrast, which the lights of a night
  // photo, softened by the lens and compression, fall well short of.
  const float shapeContrast = std::max(16.0f, m.contrast);
  const bool pixelSharp = m.sharpness >= 1.2f * shapeContrast * shapeContrast;
  const bool black =
      m.noise < 0.2f && m.clippedDark >= 0.2f &&
      ((m.dominantColours >= 0.6f && (m.axisAligned >= 0.42f || m.dominantColours >= 0.8f)) ||
       (m.dominantColours >= 0.45f && pixelSharp));
  // A window framed by panels around a photo, a drawing or a dark canvas: much of its outer
  // band is exactly flat, mostly so without tolerance (unlike a gradient), and not all in one
  // grey (unlike a plain mount around a photo); its bars line two sides or more (a sky lines
  // one), and the lettering on them is crisp (fog and a jetty are soft).
  const bool framed = m.noise < 0.2f && m.axisAligned >= 0.3f && m.flatBorder >= 0.25f &&
                      m.flatBorder >= 0.7f * m.nearFlatBorder && m.flatBorderOneGrey < 0.95f &&
                      m.flatBorderSides >= 2.0f && m.sharpness >= 150.0f;
  return flatColours || panels || empty || black || framed;
}

/// A page: mostly pure white, neutral paper with dark strokes, or lines of print however it
/// was captured (photographed at a slant under uneven light, scanned onto grey paper), or a
/// smaller page in a larger scene whose lines of print lie together on paper (marks that look
/// like print in a photo lie scattered), or a table or a stave whose rules run among its print
/// in a closed stretch of page, or a patch of print lying together with paper among and around
/// it: a large one, or a smaller one (a receipt or a turned page small in the frame) where the
/// print takes a fair share but not all of it, stacked four blocks deep each way at the least.
/// A page has margins and gaps between its lines, while a texture reads as print all over, a
/// sky with a few marks is nearly all plain and a fence across snow is one line of marks. A
/// frame blown out to white for the most part is an overexposed photo, whatever lies in it:
/// its white is no paper.
bool pageLike(const QualityMeasures &m) {
  const bool clean =
      drawn(m) && m.clippedBright >= 0.4f && m.paper >= 0.8f && m.colourfulness < 25.0f;
  // Print is dark on light paper: a patch whose greys barely spread is grain or weave. And a
  // page's print fills a fair share of the box around it: print scattered thinly over a wide
  // box is marks in a scene joined by plain ground between them.
  const bool patch = m.printPatchSpan >= 4.0f && m.contrast >= 16.0f &&
                     m.printPatchFill >= 0.045f &&
                     ((m.printPatch >= 0.05f && m.printPatchDensity <= 0.95f) ||
                      (m.printPatch >= 0.025f && m.printPatchDensity >= 0.1f &&
                       m.printPatchDensity <= 0.85f && m.clippedBright < 0.5f));
  // Blocks of print anywhere, without a page around them, count only in a clean picture: a
  // rendered window or document. In a photograph the grain of wood or the lines of a fence read
  // as print too.
  const bool cleanPrint = m.printedText >= 0.045f && m.noise < 0.5f;
  return clean || cleanPrint || m.printOnPage >= 0.015f || m.ruledOnPage >= 0.012f || patch;
}

} // namespace

bool isUtility(const QualityMeasures &m) { return windowLike(m) || pageLike(m); }

float withSourceSize(float score, std::int64_t sourcePixels) {
  if (sourcePixels <= 0 || sourcePixels >= kFullPixels) {
    return score;
  }
  const double halvings =
      std::log2(static_cast<double>(kFullPixels) / static_cast<double>(sourcePixels));
  const auto penalty = static_cast<float>(std::min(0.6, 0.15 * halvings));
  return clamp1(score - penalty);
}

Assessment assess(const PixelView &image, const ImagePlanes &planes, float sharpness) {
  const QualityMeasures m = QualityMeasures::measure(image, planes, sharpness);
  return Assessment{score(m), isUtility(m)};
}

} // namespace lumora::qualityscore
