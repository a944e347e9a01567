#include "engine/analysis/UtilityClassifier.h"

#include <algorithm>
#include <cstddef>
#include <tuple>

namespace lumora::utilityclassifier {

namespace {

// The rules' bounds and the ratios' constants are in UtilityModel.h, where the trainer writes
// the values it judged with. Below the contrast floor a window's shapes and a night sky's stars
// are compared as if they had that much: it keeps the detail ratio of a nearly blank frame from
// growing without bound. White noise of deviation σ in the thumbnail adds about 5σ² to the
// Laplacian variance at the 256-pixel rendering.
namespace um = utilitymodel;

/// The measures the trees read: the table's features but the two ratios, which are the first
/// measures of `QualityMeasures::named` (the rule-only ones come after them).
constexpr std::size_t kTreeMeasures = std::tuple_size_v<Features> - 2;

} // namespace

/// A grey frame almost wholly of exact black or white, stepping straight into a few marks, is
/// a blank window or page: an empty table or dialog. A photograph's clipped sky, snow or
/// backdrop fades into the scene through many near-white or near-black pixels, and its exact
/// black or white seldom covers four fifths of the frame. The trees, which see a handful of
/// such windows, take them for overexposed photos.
bool isBlankFrame(const QualityMeasures &m) {
  return m.blankFlat >= um::kBlankFlat && m.blankFringe <= um::kBlankFringe &&
         m.colourfulness < um::kBlankColourfulness && m.markLines > 0.0f;
}

/// A grey frame almost wholly of exact flat panels, lining all four sides, is a window: a
/// camera's sensor noise never leaves nine pixels in ten exactly equal to their neighbours, and
/// drawings that flat are coloured. An empty folder in a dark theme shows little else, and the
/// trees, which see almost no such frames among the photographs, are not asked.
bool isPanelFrame(const QualityMeasures &m) {
  return m.exactFlat >= um::kPanelsExactFlat && m.colourfulness < um::kPanelsColourfulness &&
         m.flatBorderSides >= um::kPanelsSides;
}

/// A frame nearly all exactly flat, with little colour, whose one-grey surround holds a box of
/// flat panels is a window on an empty desktop. The trees read the frame as a whole and find
/// a plain ground with something in the middle, as in a render on a backdrop or a photograph
/// in a mount; the box's outline and its panels tell the window apart.
bool isBoxedWindow(const QualityMeasures &m) {
  return m.boxedPanels >= kBoxedPanels && m.exactFlat >= kBoxedExactFlat &&
         m.colourfulness < kBoxedColourfulness;
}

/// Lines of print at an even pitch on a pale, neutral patch, with print several blocks across
/// it, some of it reading as letters, are a page, however it lies in the frame and whatever
/// surrounds it. The trees read the
/// frame as a whole, and a small page in a coloured scene, or a grey crop of small type, looks
/// to them much like a photograph; the rhythm of its lines tells it apart, and print that spans
/// several blocks and reads as letters keeps out stripes, blinds and ripples, which are even
/// but hold no letters.
bool isLinedPage(const QualityMeasures &m) {
  return m.lineRhythm >= kLinedRhythm && m.printPatchSpan >= kLinedPrintSpan &&
         m.printedText >= kLinedLetters;
}

/// Lines of bright text at an even pitch on dark ground, in a dark frame with crisp detail,
/// are a screen: a terminal or a dark theme's chat or list. The trees see few phone-sized dark
/// screens and take some for photos; night skies and dim scenes whose marks fall into rows are
/// soft, and textures as even are brighter on the whole.
bool isDarkScreenText(const QualityMeasures &m) {
  return m.darkLineRhythm >= kScreenRhythm && m.meanGrey < kScreenMeanGrey &&
         m.sharpness >= kScreenSharpness;
}

/// A pale, neutral sheet with straight sides lying in a darker scene, with letters in the frame,
/// is a page photographed where it lay: on grass, leaves or cloth, turned, with a lamp's shadow
/// across it. The trees read the frame as a whole and see mostly the scene; the sheet's outline
/// tells the page apart, and the letters keep out pale tiles and panels.
bool isSheetInScene(const QualityMeasures &m) {
  return m.pageShape >= kSheetShape && m.printedText >= kSheetLetters;
}

/// A frame nearly black, soft and without colour is a night photo: compression flattens its
/// dark greys into a few exact levels that mimic a window's panels, while a dark theme's panels
/// are grey rather than black and a window on black has crisp lettering or coloured marks. No
/// screenshot or document of the calibration set lies below all three bounds, so the trees,
/// which see few such frames, are not asked.
bool isNightPhoto(const QualityMeasures &m) {
  return m.meanGrey < um::kNightMeanGrey && m.sharpness < um::kNightSharpness &&
         m.colourfulness < um::kNightColourfulness;
}

Features features(const QualityMeasures &m) {
  Features f{};
  std::size_t i = 0;
  const auto named = m.named();
  for (; i < kTreeMeasures; ++i)
    f[i] = named[i].second;
  const float contrast = std::max(um::kMinRatioContrast, m.contrast);
  f[i++] = m.sharpness / (contrast * contrast);
  f[i++] = (um::kNoiseVariancePerSigma2 * m.noise * m.noise) / std::max(1.0f, m.sharpness);
  return f;
}

double margin(const Features &features) {
  using utilitymodel::kNodes;
  double sum = utilitymodel::kPrior;
  for (const int root : utilitymodel::kRoots) {
    int n = root;
    while (kNodes[static_cast<std::size_t>(n)].feature >= 0) {
      const utilitymodel::Node &node = kNodes[static_cast<std::size_t>(n)];
      // The trainer compares single-precision features with double thresholds.
      n = static_cast<double>(features[static_cast<std::size_t>(node.feature)]) <= node.threshold
              ? node.left
              : node.right;
    }
    sum += kNodes[static_cast<std::size_t>(n)].value;
  }
  return sum;
}

bool isUtility(const QualityMeasures &m) {
  const bool window = isPanelFrame(m) || isBlankFrame(m) || isBoxedWindow(m);
  return !isNightPhoto(m) && (window || isLinedPage(m) || isDarkScreenText(m) ||
                              isSheetInScene(m) || margin(features(m)) > utilitymodel::kMargin);
}

float documentWeight(const QualityMeasures &m) {
  if (isPanelFrame(m) || isBlankFrame(m))
    return 1;
  const float window = windowWeight(m);
  if (isNightPhoto(m))
    return window;
  return std::max(window, marginWeight(margin(features(m))));
}

float windowWeight(const QualityMeasures &m) {
  if (!(m.boxedPanels >= kBoxedPanels))
    return 0;
  return std::clamp((m.exactFlat - kWindowFlatFoot) / (kBoxedExactFlat - kWindowFlatFoot), 0.0f,
                    1.0f);
}

float marginWeight(double margin) {
  const double lowest = utilitymodel::kMargin + kDocumentMarginToSpare - kDocumentRamp;
  return static_cast<float>(std::clamp((margin - lowest) / kDocumentRamp, 0.0, 1.0));
}

} // namespace lumora::utilityclassifier
