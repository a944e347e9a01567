#pragma once

#include "engine/analysis/ImagePlanes.h"

namespace lumora {

/// Lines of print at an even pitch on a pale, neutral ground: a page, however it lies in the
/// frame, or a crop of one; or lines of text on a dark screen.
namespace linemeasures {

/// How evenly the dark strokes on the largest patch of pale, neutral ground fall into lines:
/// the strokes are projected across their best direction (within 30° of the rows), and the
/// value is how much more alike that profile is to itself one and two line pitches on than
/// half and one and a half pitches on (0…2).
/// It is 0 when there is no such patch of a tenth of the frame, when the patch holds too
/// little or too much ink, or when its profile has no pitch repeated four times or more.
[[nodiscard]] float lineRhythm(const ImagePlanes &planes);

/// The same of bright strokes on the largest patch of dark ground (darkest grey at most 64),
/// of any tint, scaled down by as much as the lines fall short of differing in ink by a quarter
/// of their mean: lines of text on a dark screen, such as a terminal or a chat in a dark theme,
/// rather than rows of lamps or dots.
[[nodiscard]] float darkLineRhythm(const ImagePlanes &planes);

} // namespace linemeasures

} // namespace lumora
