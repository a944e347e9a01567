#pragma once

#include <vector>

namespace lumora {

/// What analysing one image gives: the numbers every photo carries.
struct ImageAnalysis {
  /// Unit-length feature vector (left unscaled when its length is at most 1e-6).
  std::vector<float> feature;
  /// Aesthetics score, −1…1.
  float score = 0;
  /// Screenshots, documents and similar non-photographs.
  bool isUtility = false;
  /// Variance of the 4-neighbour Laplacian of a 256 × 256 grey rendering; 0 when unmeasurable.
  float sharpness = 0;

  bool operator==(const ImageAnalysis &) const = default;
};

} // namespace lumora
