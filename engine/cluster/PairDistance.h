#pragma once

#include <cstdint>

namespace lumora {

/// One measured candidate pair: two positions in the photo list the pairs were built from,
/// and the feature distance between the two photos. Kept at 12 bytes because a large library
/// holds millions of these for the whole session.
struct PairDistance {
  /// Position of the earlier photo (in capture order).
  std::uint32_t i = 0;
  /// Position of the later photo.
  std::uint32_t j = 0;
  /// Feature distance, 0…2; 2.0 when no distance can be measured.
  float d = 0;

  bool operator==(const PairDistance &) const = default;
};

static_assert(sizeof(PairDistance) == 12, "pairs are stored by the million; keep them packed");

} // namespace lumora
