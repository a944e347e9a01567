#pragma once

#include <array>

namespace lumora::FeaturePrint {

/// Block weights, in the order of FeaturePrint::Block: coarse and fine grey layout, edge
/// orientations on 4 × 4, 2 × 2 and 1 × 1 cells, colour, colour layout.
inline constexpr std::array<float, 7> kFeatureWeights = {1.0f, 0.5f, 0.8f, 0.5f, 0.3f, 0.6f, 0.5f};

} // namespace lumora::FeaturePrint
