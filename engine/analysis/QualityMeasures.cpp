#include "engine/analysis/QualityMeasures.h"

namespace lumora {

std::vector<std::pair<const char *, float>> QualityMeasures::named() const {
  return {{"meanGrey", meanGrey},
          {"contrast", contrast},
          {"clippedDark", clippedDark},
          {"clippedBright", clippedBright},
          {"clippedChannel", clippedChannel},
          {"colourfulness", colourfulness},
          {"sharpness", sharpness},
          {"noise", noise},
          {"exactFlat", exactFlat},
          {"dominantColours", dominantColours},
          {"paper", paper},
          {"axisAligned", axisAligned},
          {"printedText", printedText},
          {"plainPaper", plainPaper},
          {"flatBorder", flatBorder},
          {"nearFlatBorder", nearFlatBorder},
          {"flatBorderOneGrey", flatBorderOneGrey},
          {"flatBorderFewGreys", flatBorderFewGreys},
          {"flatFewGreys", flatFewGreys},
          {"flatBorderSides", flatBorderSides},
          {"printOnPage", printOnPage},
          {"ruledOnPage", ruledOnPage},
          {"printPatch", printPatch},
          {"printPatchDensity", printPatchDensity},
          {"printPatchSpan", printPatchSpan},
          {"printPatchFill", printPatchFill},
          {"markLines", markLines},
          {"straightEdges", straightEdges},
          {"blankFlat", blankFlat},
          {"blankFringe", blankFringe},
          {"boxedPanels", boxedPanels},
          {"lineRhythm", lineRhythm},
          {"darkLineRhythm", darkLineRhythm},
          {"pageShape", pageShape}};
}

} // namespace lumora
