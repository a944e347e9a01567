#pragma once

#include "engine/analysis/ImagePlanes.h"
#include "engine/analysis/SourceFacts.h"

#include <cstddef>
#include <vector>

/// Where the writing of a page or a window lies, at a finer scale than the page layout and
/// within the box that holds it: two forms of one template, two dialogs of one program or two
/// receipts of one shop share their rules, boxes and panels, and differ in where their words
/// end. Straight rules and panel edges count for little here, marks that are detailed across
/// and along (letters, handwriting, icons) for much.
namespace lumora::textlayout {

/// Cells on each side of the grid laid over the box that holds the writing, where the thumbnail
/// shows the box large enough.
inline constexpr int kGridSide = 32;
/// The entries of that grid, first in `describe`'s result.
inline constexpr std::size_t kThumbnailLength = static_cast<std::size_t>(kGridSide * kGridSide);

/// Cells on each side of the fine grid, laid over a box the thumbnail shows small (a dialog on a
/// desktop, a receipt on a desk), measured at up to `kFineBoxSide` pixels on its longer side.
inline constexpr int kFineSide = 64;
inline constexpr int kFineBoxSide = 256;

inline constexpr std::size_t kFineLength = static_cast<std::size_t>(kFineSide * kFineSide);

/// Cells across and down the grid of stroke directions laid over the same small box, and the
/// directions told apart in each cell (0…180° in equal steps).
inline constexpr int kStrokeAcross = 64;
inline constexpr int kStrokeDown = 32;
inline constexpr int kStrokeDirections = 4;
inline constexpr std::size_t kStrokeLength =
    static_cast<std::size_t>(kStrokeAcross * kStrokeDown * kStrokeDirections);

/// The number of entries `describe` returns: the thumbnail's grid, the fine grid, then the
/// stroke directions.
inline constexpr std::size_t kLength = kThumbnailLength + kFineLength + kStrokeLength;

/// A box of the frame, in pixels of the full-resolution grey plane.
struct Box {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

/// How much of the writing each pixel of `grey` (`width` × `height`, row-major) shows: the
/// geometric mean of the local mean steps across and along, taken on `grey` averaged over 3 × 3,
/// each less twice its median over the frame (paper grain and sensor noise), so a straight rule or
/// a panel's edge, which steps one way only, counts little.
[[nodiscard]] std::vector<float> writing(const std::vector<std::uint8_t> &grey, int width,
                                         int height);

/// The box that holds all but a hundredth of the strong marks of the writing on each side,
/// widened by a fiftieth of its longer side; the whole frame when there is no writing.
[[nodiscard]] Box writingBox(const std::vector<float> &writing, int width, int height);

/// The writing within its box (`writingBox` of the thumbnail), on a grid laid over the box,
/// softened (a shift of a pixel or two, or a turn under a degree, moves little), compressed by a
/// square root, less a blurred copy, centred and scaled to unit length, or by its contrast floor
/// when that is larger; all zero for a frame without writing.
///
/// Where the thumbnail shows the box at `kFineBoxSide` / 1.1 pixels or more, the grid is the
/// `kGridSide` one on the thumbnail, the fine grid all zero. A smaller box is looked at again at
/// up to `kFineBoxSide` pixels (twice its size in the thumbnail at most, so that copies of one
/// picture at other sizes are all shrunk to the same size), on the `kFineSide` grid: in a larger
/// decode of the file (`facts.redecode`) when the file holds more pixels than the thumbnail,
/// else in the thumbnail. The fine grid is blurred more where the file shows the box in fewer
/// pixels. Between 1.1 and 1.4 times the box's size the two grids share the result, the fine
/// one more the smaller the box, so that no box size switches from one to the other. A small
/// dialog's message is a few pixels tall in the thumbnail of a whole desktop; what tells two of
/// one template apart is where their words and lines end, and which letters they hold: beside
/// the fine grid, the box is cut again at up to 320 pixels and the directions of its strokes
/// are taken per cell (`strokes`), sharing the fine grid's part of the result. A box shown large
/// but under 300 pixels (a form dialog on a desktop) is cut again at up to 640 pixels, and its
/// strokes share the thumbnail grid's part, less and less towards 300 pixels.
[[nodiscard]] std::vector<float> describe(const ImagePlanes &planes, const SourceFacts &facts);
/// The directions of the strokes of a grey box (`width` × `height`, row-major), blurred by about
/// a pixel and a half: per cell of a `kStrokeAcross` × `kStrokeDown` grid over the box, how the
/// steps' strength spreads over `kStrokeDirections` directions, less its mean and divided by its
/// length (plus a floor), so that a cell of letters counts by their shapes, not their ink. Each
/// cell is then weighted by how much writing it holds against the box's mean, raised to a power
/// over 1 so that the message outweighs the window around it, and the whole scaled to unit
/// length; all zero for a box without strokes.
[[nodiscard]] std::vector<float> strokes(const std::vector<float> &grey, int width, int height);

/// The same with the thumbnail alone.
[[nodiscard]] std::vector<float> describe(const ImagePlanes &planes);

/// `describe`'s layout, and how far the strokes of a box shown large but under 300 pixels
/// (a form dialog on a desktop) count in it, 0…1.
struct Measure {
  std::vector<float> layout;
  double formStrokes = 0;
};

/// The layout of `describe` with its form strokes' weight.
[[nodiscard]] Measure measure(const ImagePlanes &planes, const SourceFacts &facts);

} // namespace lumora::textlayout
