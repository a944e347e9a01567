#include "platform/core/LargeAllocations.h"

#include <malloc.h>

namespace platform {

void returnLargeAllocationsToSystem() {
  constexpr int kThreshold = 4 << 20;
  // A fixed threshold also switches off glibc's adaptive one.
  mallopt(M_MMAP_THRESHOLD, kThreshold);
}

} // namespace platform
