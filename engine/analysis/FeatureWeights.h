#pragma once

#include <array>

namespace lumora::FeaturePrint {

/// Block weights, in the order of FeaturePrint::Block: grey layout on 4 × 4, 8 × 8 and
/// 12 × 12 cells, edge orientations on 4 × 4, 2 × 2 and 1 × 1 cells, colour, colour layout.
inline constexpr std::array<float, 8> kFeatureWeights = {1.000f, 0.390f, 0.122f, 1.164f, 0.550f, 0.960f, 0.960f, 0.076f};

} // namespace lumora::FeaturePrint
