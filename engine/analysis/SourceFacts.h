#pragma once

#include <cstdint>

namespace lumora {

/// What the file a thumbnail was decoded from says about the picture beyond its pixels.
struct SourceFacts {
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
};

} // namespace lumora
