#pragma once

#include <vector>

namespace lumora {

/// Scales `vector` to unit Euclidean length, summing the squares in single precision in
/// element order; a vector whose length is at most 1e-6 is left as it is.
void normalise(std::vector<float> &vector);

} // namespace lumora
