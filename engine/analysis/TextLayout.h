#pragma once

#include "engine/analysis/ImagePlanes.h"

#include <cstddef>
#include <vector>

/// Where the writing of a page or a window lies, at a finer scale than the page layout and
/// within the box that holds it: two forms of one template, two dialogs of one program or two
/// receipts of one shop share their rules, boxes and panels, and differ in where their words
/// end. Straight rules and panel edges count for little here, marks that are detailed across
/// and along (letters, handwriting, icons) for much.
namespace lumora::textlayout {

/// Cells on each side of the grid laid over the box that holds the writing.
inline constexpr int kGridSide = 32;

/// The number of entries `describe` returns.
inline constexpr std::size_t kLength = static_cast<std::size_t>(kGridSide * kGridSide);

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

/// The writing over a `kGridSide` × `kGridSide` grid laid on its box, softened by half a cell
/// (a shift of a pixel or two, or a turn under a degree, moves little), compressed by a square
/// root, less a blurred copy, centred and scaled to unit length, or by its contrast floor when
/// that is larger; all zero for a frame without writing.
[[nodiscard]] std::vector<float> describe(const ImagePlanes &planes);

} // namespace lumora::textlayout
