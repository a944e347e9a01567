#include "engine/analysis/UnitLength.h"

#include <cmath>

namespace lumora {

void normalise(std::vector<float> &vector) {
  float sumSquares = 0;
  for (float v : vector) {
    sumSquares += v * v;
  }
  const float length = std::sqrt(sumSquares);
  if (length > 1e-6f) {
    for (float &v : vector) {
      v /= length;
    }
  }
}

} // namespace lumora
