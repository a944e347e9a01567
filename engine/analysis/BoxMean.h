#pragma once

#include <vector>

namespace lumora::boxmean {

/// The mean of every value's (2 `radius` + 1)² window of a row-major plane, the window cut at
/// the plane's edges, from a summed-area table.
[[nodiscard]] std::vector<float> of(const std::vector<float> &plane, int width, int height,
                                    int radius);

} // namespace lumora::boxmean
