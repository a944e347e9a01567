#pragma once

#include "engine/analysis/PixelView.h"

#include <cstdint>
#include <functional>

namespace lumora {

/// What the file a thumbnail was decoded from says about the picture beyond its pixels.
struct SourceFacts {
  /// Hands a picture to the caller of `Redecode`.
  using Use = std::function<void(const PixelView &)>;
  /// Decodes the file again so that its longer side is at most the given number of pixels
  /// and calls `Use` with the picture, orientation applied, before returning; calls nothing
  /// when the file no longer decodes.
  using Redecode = std::function<void(int longSide, const Use &use)>;

  /// Width × height of the file's picture before it was scaled down; 0 when not known.
  std::int64_t pixels = 0;
  /// How coarsely a lossy save kept each block's detail: the root mean square step of its
  /// luminance quantisation, in grey levels of the file's own pixels. 0 for a lossless file
  /// and when not known.
  float detailStep = 0;
  /// For a picture stored losslessly, how plainly a video coder's prediction shows in it at
  /// its own size (the share of fine detail missing inside the coder's blocks, about 0.01 to
  /// 0.06 for a frame predicted at a low rate); 0 when none shows and when not measured.
  float codingTrace = 0;
  /// Asked only for a picture that counts as a document, whose writing is too small in the
  /// thumbnail to tell two of one template apart; empty when the file cannot be decoded again.
  Redecode redecode;
};

} // namespace lumora
