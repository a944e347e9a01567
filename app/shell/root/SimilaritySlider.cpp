#include "app/shell/root/SimilaritySlider.h"

#include "app/store/texts/Fmt.h"

namespace lumora::similarityslider {

bool isRecommended(float threshold) { return threshold == SimilarityScale::defaultThreshold; }

QString percentText(float threshold) {
  return Fmt::percent(SimilarityScale::similarityPercent(threshold));
}

} // namespace lumora::similarityslider
