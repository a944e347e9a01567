#pragma once

#include "engine/analysis/ImagePlanes.h"

namespace lumora {

/// A box of flat panels on a flat surround: a small window on an empty desktop.
namespace surroundmeasures {

/// The share of flat panels in the box that a flat, one-grey surround holds, or 0 when there is
/// no such box: the frame's outer ring is not nearly all one grey, or what differs from that
/// grey does not fill an upright box's outline. A small dialog on an empty desktop gives
/// about half; a render's objects on a plain ground do not fill their box's outline, and a
/// photograph in a plain mount fills it, but its grain leaves few pixels as flat as a panel.
[[nodiscard]] float boxedPanels(const ImagePlanes &planes);

} // namespace surroundmeasures

} // namespace lumora
