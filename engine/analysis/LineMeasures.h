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

/// How nearly the largest patch of pale, neutral ground, with the holes its print leaves, is a
/// quadrilateral with straight sides: its share of its convex hull times the share of the hull
/// that the largest quadrilateral on the hull's corners covers (0…1). A sheet lying in a scene,
/// however turned, gives nearly 1; a disc gives 2/π of its hull at most, and a regular hexagon
/// two thirds. It is 0 unless the patch is a sheet lying in a scene: a tenth to three fifths of
/// the frame, brighter than the rest by three tenths, reaching at most one side of the frame and
/// running along the frame's edges for at most three tenths of its outline.
[[nodiscard]] float pageShape(const ImagePlanes &planes);

/// The two measures of the largest patch of pale, neutral ground, read from one pass over its
/// blocks.
struct Paper {
  float lineRhythm = 0;
  float pageShape = 0;
};
[[nodiscard]] Paper paper(const ImagePlanes &planes);

} // namespace linemeasures

} // namespace lumora
