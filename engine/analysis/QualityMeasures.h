#pragma once

#include "engine/analysis/ImagePlanes.h"
#include "engine/analysis/PixelView.h"

#include <utility>
#include <vector>

namespace lumora {

/// The measurable qualities behind the score and the utility flag, from one thumbnail.
struct QualityMeasures {
  float meanGrey = 0;          ///< 0…255
  float contrast = 0;          ///< standard deviation of grey, 0…128
  float clippedDark = 0;       ///< share of pixels at grey ≤ 3
  float clippedBright = 0;     ///< share of pixels at grey ≥ 245 (blown, noise or not)
  float clippedChannel = 0;    ///< share of pixels with a colour channel at 254 or more
  float colourfulness = 0;     ///< opponent-colour spread plus mean saturation, 0…~150
  float sharpness = 0;         ///< Laplacian variance at 256 × 256
  float noise = 0;             ///< estimated sensor noise in grey levels, from smooth areas
  float exactFlat = 0;         ///< share of pixels equal to their right and lower neighbours,
                               ///< not counting pure black and white
  float dominantColours = 0;   ///< share of pixels whose exact colour is among the 8 most common
  float paper = 0;             ///< share of bright, neutral pixels (a page)
  float axisAligned = 0;       ///< share of edge strength within 10° of the axes
  float printedText = 0;       ///< share of 16-pixel blocks that look like lines of print on paper
  float plainPaper = 0;        ///< share of 16-pixel blocks of plain, neutral, smooth paper
  float printOnPage = 0;       ///< share of blocks of print with three or four neighbours of
                               ///< print or paper: lines on a page, not marks scattered in a scene
  float ruledOnPage = 0;       ///< share of blocks of print as they lie (not straightened),
                               ///< ruled or not, whose four neighbours are print or paper, two or
                               ///< more of them print: a table, a stave, a receipt's close lines
  float printPatch = 0;        ///< share of blocks of print in the largest patch of print and paper
                               ///< lying together (blocks joined through sides or corners)
  float printPatchDensity = 0; ///< share of print among that patch's print and the paper
                               ///< beside it
  float printPatchSpan = 0;    ///< the lesser side, in 16-pixel blocks, of the box around
                               ///< that patch's print: one line of marks spans one or two
  float printPatchFill = 0;    ///< share of that box taken by the patch's print
  float flatBorder = 0;        ///< share of the outer band in long runs of one exact grey along
                               ///< the edges, not counting pure black and white
  float nearFlatBorder = 0;    ///< the same within two grey levels (smooth gradients pass too)
  float flatBorderOneGrey = 0; ///< share of those exact runs in their most common grey
  float flatBorderFewGreys = 0; ///< share of those exact runs in their three most common greys
  float flatBorderSides = 0;    ///< sides (0…4) whose outer band lies for a fifth or more in
                                ///< those exact runs: bars and panels line two sides or more
  float flatFewGreys = 0;       ///< share of the exactly flat pixels in their four most common
                          ///< greys: panels come in a few colours, a smooth sky's steps in many
  float markLines = 0; ///< share of 16-pixel blocks of high-contrast marks, lighter or darker than
                       ///< a near-uniform ground of any grey, spread along the rows, with another
                       ///< such block beside them on the same ground: lines of letters, rules
  float straightEdges = 0;  ///< share of pixels on long horizontal or vertical edges whose sides
                            ///< are flat along them: borders of panels, boxes, rules
  float blankFlat = 0;      ///< share of pixels black or white (within ten levels) in every
                            ///< channel and equal to their right and lower neighbours: a blank
                            ///< page or window, or clipping
  float blankFringe = 0;    ///< share of near-black and near-white pixels among those and the
                            ///< blank ones: clipping fades into the scene, a blank window's white
                            ///< steps straight into its marks
  float boxedPanels = 0;    ///< share of flat panels in the box a one-grey surround holds, when
                            ///< what differs from the surround fills the box's outline: a small
                            ///< window on an empty desktop
  float lineRhythm = 0;     ///< how evenly the dark strokes on the largest patch of pale,
                            ///< neutral ground repeat at one line pitch: lines of print
  float darkLineRhythm = 0; ///< the same of bright strokes on dark ground: text on a screen
  float pageShape = 0;      ///< how nearly that patch of pale, neutral ground, holes and all, is
                            ///< a quadrilateral lying in a darker scene: a sheet of paper

  /// Every measure with its name, in declaration order (for calibration tables).
  [[nodiscard]] std::vector<std::pair<const char *, float>> named() const;

  /// Measures `image`, whose planes are `planes` and sharpness `sharpness`. Defined in
  /// QualityMeasuring.cpp with the families of measures it combines, which fill in this struct.
  [[nodiscard]] static QualityMeasures measure(const PixelView &image, const ImagePlanes &planes,
                                               float sharpness);
};

} // namespace lumora
