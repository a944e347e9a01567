#pragma once

#include "engine/analysis/VisionAnalyzer.h"
#include "engine/model/ImageAnalysis.h"
#include "engine/model/ScanTypes.h"
#include "engine/scan/AnalysisWorkers.h"
#include "platform/core/imaging/DecodedImage.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <stop_token>
#include <vector>

namespace lumora {

/// The analyzer's view of a decoded picture.
[[nodiscard]] inline PixelView viewOf(const platform::DecodedImage &image) {
  return PixelView{image.width, image.height, image.bands, image.pixels.data(), image.stride()};
}

/// Analyses one decoded picture, decoded from a file whose facts are `facts`; nothing when the
/// analyzer refuses it.
[[nodiscard]] inline std::optional<ImageAnalysis> analyzeImage(const platform::DecodedImage &image,
                                                               const SourceFacts &facts = {}) {
  auto analysis = VisionAnalyzer::analyze(viewOf(image), facts);
  if (!analysis) {
    return std::nullopt;
  }
  return std::move(analysis).value();
}

/// Runs the worker pool over a scan's cache misses with the scan's options: at least one
/// worker and one photo per batch, progress counted from the cache hits.
template <typename Input, typename Analysis>
analysisworkers::BatchOutcome
runScanWorkers(const std::vector<Input> &misses, std::int64_t total, std::int64_t hits,
               const ScanOptions &options, double t0,
               const std::function<void(const ScanProgress &)> &progress,
               analysisworkers::WorkerCallbacks<Input, Analysis> callbacks, std::stop_token stop) {
  analysisworkers::WorkerPlan plan;
  plan.total = total;
  plan.cacheHits = hits;
  plan.workers = std::max<std::int64_t>(1, options.concurrency);
  plan.flushEvery = std::max<std::int64_t>(1, options.checkpointEvery);
  plan.t0 = Date{t0};
  callbacks.progress = progress;
  return analysisworkers::analyzeConcurrently(misses, plan, callbacks, std::move(stop));
}

} // namespace lumora
