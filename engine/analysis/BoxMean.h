#pragma once

#include <vector>

namespace lumora::boxmean {

/// The mean of every value's (2 `radius` + 1)² window of a row-major plane, the window cut at
/// the plane's edges, from a summed-area table.
[[nodiscard]] std::vector<float> of(const std::vector<float> &plane, int width, int height,
                                    int radius);

/// A layout grid less its mean over each cell's (2 `radius` + 1)² window, centred and scaled to
/// unit length, or divided by `floorLength` when its length is less: a nearly blank frame keeps
/// a faint layout instead of its noise blown up.
[[nodiscard]] std::vector<float> relief(std::vector<float> grid, int width, int height, int radius,
                                        double floorLength);

} // namespace lumora::boxmean
