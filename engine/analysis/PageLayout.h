#pragma once

#include "engine/analysis/ImagePlanes.h"
#include "engine/analysis/SourceFacts.h"

#include <cstddef>
#include <vector>

/// Where the marks of a page or a window lie: the density of fine detail (letters, rules,
/// icons) on a grid over the whole frame. Two pages of one manual share their margins and type,
/// and two windows of one program share their chrome, yet their lines, paragraphs and blocks
/// fall elsewhere; a re-saved, resized or rescanned copy keeps them where they were.
namespace lumora::pagelayout {

/// Cells on each side of the grid.
inline constexpr int kGridSide = 16;

/// The number of entries `describe` returns.
inline constexpr std::size_t kLength = static_cast<std::size_t>(kGridSide * kGridSide);

/// The layout of `small`: each cell's mean deviation (compressed by a power below 1) from its
/// pixels' local mean, less a blurred copy of the grid (the page's margins and the window's frame,
/// common to every page of a kind, count less than what lies in them), centred and scaled to unit
/// length, or by its contrast floor when that is larger, so a blank frame keeps a faint layout.
[[nodiscard]] std::vector<float> describe(const ImagePlanes::Small &small);

/// The share of the writing's layout (TextLayout.h) in `block`, as the sine of its angle to the
/// frame's layout: the frame's layout tells a dialog from a page, the writing's tells two forms
/// or two dialogs of one template apart.
inline constexpr float kWritingShare = 0.85f;

/// The layout block of the feature vector, `kLength` entries: the frame's layout (`describe`)
/// and the writing's, mapped from their joint length to `kLength` by a fixed projection of
/// random signs and scaled to the joint layout's length: it keeps distances between blocks
/// within several hundredths of what they are before it and needs no table.
/// The writing's layout is measured in a larger decode when `facts` can give one (see
/// `textlayout::describe`).
[[nodiscard]] std::vector<float> block(const ImagePlanes &planes, const SourceFacts &facts = {});

} // namespace lumora::pagelayout
