#include "platform/core/LargeAllocations.h"

#include <malloc.h>

namespace platform {

void returnLargeAllocationsToSystem() {
  constexpr int kThreshold = 4 << 20;
  // A fixed threshold also switches off glibc's adaptive one, and with it the rise of the
  // trim threshold that goes along: left at its 128 KiB, every freed picture of a few
  // hundred kilobytes at the top of the heap went back to the system and the next one
  // faulted its pages in again. Twice the mapping threshold is where the adaptive rule
  // would put it.
  mallopt(M_MMAP_THRESHOLD, kThreshold);
  mallopt(M_TRIM_THRESHOLD, 2 * kThreshold);
}

} // namespace platform
