#pragma once

#include "engine/analysis/ImagePlanes.h"

#include <vector>

namespace lumora {

/// The colour of square blocks of a thumbnail once the light's colour cast is taken out: a
/// page under a lamp is evenly tinted, and is neutral again once the tint is removed.
namespace pagetint {

/// Mean opponent-colour magnitude of each `blockSize` block of the full planes
/// (`blocksWide` × `blocksHigh`, row by row), read from the small planes, after the light's
/// colour cast is taken out.
[[nodiscard]] std::vector<float> blockChroma(const ImagePlanes &planes, int blockSize,
                                             int blocksWide, int blocksHigh);

} // namespace pagetint

} // namespace lumora
