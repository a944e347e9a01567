#pragma once

#include "engine/analysis/ImagePlanes.h"

/// How much of a picture's edges follow the 8 × 8 block grid of a lossy video or image
/// codec: the block edges a coarse encode leaves, seen at whatever size the picture was
/// scaled to. A picture that was never coded in blocks, or whose blocks shrank below what a
/// pixel can show, gives about 0.
namespace lumora::blockgrid {

/// The smallest period, in pixels of the picture measured, at which the grid is looked for:
/// below it the block edges blur into their neighbours.
inline constexpr double kSmallestPeriod = 2.5;

/// The share of the grey plane's mean absolute step between neighbours that repeats with
/// the block grid's `period` (8 source pixels, in pixels of `planes`), along the rows and
/// down the columns, averaged: 0 when nothing repeats there more than at periods close by,
/// about 1 when block edges are all the steps there are. 0 when the period is below
/// `kSmallestPeriod` or the picture holds fewer than four periods either way.
[[nodiscard]] float share(const ImagePlanes &planes, double period);

} // namespace lumora::blockgrid
