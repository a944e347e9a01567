// libvips (through GLib) comes before Qt: Qt's "signals" keyword macro breaks GLib's headers.
#include <vips/vips.h>

#include "engine/scan/AnalysisWorkers.h"

#include "platform/core/imaging/VipsRuntime.h"

#include <mutex>

namespace lumora::analysisworkers::detail {

ScanProgress progressAfter(std::int64_t done, const WorkerPlan &plan, QString currentName) {
  const double elapsed = plan.clock().secondsSince1970 - plan.t0.secondsSince1970;
  // Elapsed time counts from the scan's start, cache reload included, and is spread over every
  // photo handled so far, cache hits included.
  const double rate = done >= 1 ? elapsed / static_cast<double>(done) : 0;
  std::optional<double> eta;
  if (rate > 0 && done < plan.total) {
    eta = rate * static_cast<double>(plan.total - done);
  }
  return ScanProgress{ScanPhase::analyzing, done, plan.total, std::move(currentName), elapsed, eta};
}

bool prepareThreadResources() {
  // vips_thread_shutdown needs the library started: its per-thread buffers are keyed by it.
  return platform::vipsruntime::ensureStarted();
}

void releaseThreadResources(bool prepared) {
  if (prepared) {
    vips_thread_shutdown();
  }
}

} // namespace lumora::analysisworkers::detail
