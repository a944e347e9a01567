#pragma once

#include <array>

namespace lumora::featureprint {

/// Block weights, in the order of featureprint::Block: grey layout on 4 × 4 and 8 × 8 cells,
/// edge orientations on 4 × 4, 2 × 2 and 1 × 1 cells, colour layout, palette, texture, border
/// ring. Fitted by tools/calibration/learn-feature-weights to the sets
/// tools/calibration/make-calibration-set builds; the border ring's weight is the least at which,
/// held out by source, no shot of the burst set joins another at 0.55 (refitting the others with it
/// moved no figure).
inline constexpr std::array<float, 9> kFeatureWeights = {1.000f, 0.243f, 2.048f, 0.344f, 0.600f,
                                                         1.200f, 0.312f, 0.500f, 1.000f};

} // namespace lumora::featureprint
