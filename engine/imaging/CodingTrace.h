#pragma once

#include <cstddef>
#include <cstdint>

/// The trace a video coder leaves in a frame it predicted from earlier ones, seen in a
/// picture stored losslessly (a frame grabbed to PNG). Such a coder sends only the frame's
/// difference from its prediction, cut into the 8 × 8 blocks of a grid that starts at the
/// picture's corner, and rounds the fine part of each block's difference away. Inside the
/// grid's blocks the frame then holds less fine detail than across their borders, which a
/// picture that was never coded does not show. The damage is smoothing and lost grain, which
/// the thumbnail cannot tell from a cleaner scene, and the grid itself is gone once the
/// picture is scaled, so it is measured on the picture at its own size.
///
/// A still save (a JPEG's pixels kept as PNG) rounds the whole block, so its coarse
/// frequencies fall on multiples of its steps as well; such a picture gives 0 here. Its loss
/// is a save's, which its JPEG copies carry too, and which a JPEG's own tables tell.
namespace lumora::codingtrace {

/// Pictures of more pixels than this (a 1920 × 1088 frame) are not measured: the picture
/// has to be held whole at its own size, and the grid of a larger one hardly shows at the
/// size it is viewed at.
inline constexpr std::int64_t kMostPixels = 1920 * 1088;

/// 8-bit samples, interleaved: grey, grey and alpha, RGB or RGBA (1 to 4 bands); rows
/// `stride` bytes apart, the first at the picture's top left as it is stored.
struct Samples {
  const std::uint8_t *data = nullptr;
  int width = 0;
  int height = 0;
  int bands = 0;
  std::size_t stride = 0;
};

/// How much more of the fine frequencies of the picture's luma (those of an 8 × 8 block's
/// transform whose two indices add up to 6 or more) are below one grey level in the blocks of
/// the grid at its corner than in blocks shifted off that grid: about 0 for a picture that was
/// never coded, 0.01 to 0.06 for a frame predicted at a low rate. 0 for a still save, for a
/// picture of more than `kMostPixels` or fewer than 64 pixels a side, and for anything other
/// than 1 to 4 bands. At most a few thousand blocks are transformed per grid position, spread
/// over the picture, so a large picture costs no more than a small one.
[[nodiscard]] float residualTrace(const Samples &picture);

} // namespace lumora::codingtrace
