// The one scan pipeline, over a folder or the photo library: listing, cache reload, cache
// hits, concurrent analysis of the misses, and the common end.
#include "engine/core/LumoraEngine.h"

#include "engine/core/FolderPhotoSource.h"
#include "engine/core/PhotoSource.h"
#include "engine/core/ScanWorkers.h"
#include "engine/diagnostics/Diagnostics.h"

#include <algorithm>
#include <iterator>

namespace lumora {
namespace {

/// What the analysis of one scan's misses needs to know of the scan.
struct AnalysisRun {
  const ScanOptions &options;
  double t0 = 0;
  const LumoraEngine::ProgressHandler &progress;
  std::int64_t total = 0;
  std::int64_t hits = 0;
};

/// Runs the workers over the misses, by their positions in the source.
analysisworkers::BatchOutcome
analyzeMisses(const PhotoSource &source, const std::vector<std::size_t> &misses,
              const AnalysisRun &run, std::function<void(const std::vector<PhotoItem> &)> onBatch,
              std::stop_token stop) {
  analysisworkers::WorkerCallbacks<std::size_t, FileAnalysis> callbacks;
  callbacks.analyze = [&source](std::size_t index) { return source.analyze(index); };
  callbacks.makeItem = [&source](std::size_t index, const FileAnalysis &result) {
    return source.analysedPhoto(index, result);
  };
  callbacks.nameOf = [&source](std::size_t index) { return source.progressName(index); };
  callbacks.onBatch = std::move(onBatch);
  return runScanWorkers(misses, run.total, run.hits, run.options, run.t0, run.progress,
                        std::move(callbacks), std::move(stop));
}

} // namespace

Expected<ScanResult, EngineError>
LumoraEngine::scan(const std::vector<QUrl> &urls, const ScanOptions &options,
                   ProgressHandler progress, PartialHandler onPartial, std::stop_token stop) {
  FolderPhotoSource source(urls, options, &m_previews);
  return runScan(source, options, std::move(progress), std::move(onPartial), std::move(stop));
}

Expected<ScanResult, EngineError>
LumoraEngine::runScan(PhotoSource &source, const ScanOptions &options, ProgressHandler progress,
                      PartialHandler onPartial, std::stop_token stop) {
  const double t0 = Date::now().secondsSince1970;
  progress = orIgnoring(std::move(progress));
  const ScanScope scope(*this, std::move(onPartial), stop);
  const std::shared_ptr<ScanContext> &context = scope.context();
  progress(ScanProgress::idle());
  if (auto error = listPhotos(context, source)) {
    return Unexpected(std::move(*error));
  }
  if (source.count() == 0) {
    return Unexpected(source.emptyError());
  }

  CacheSplit split = splitByCache(context, source);
  const AnalysisRun run{options, t0, progress, static_cast<std::int64_t>(source.count()),
                        static_cast<std::int64_t>(split.hits.size())};
  deliverPartial(context, split.hits);
  std::vector<PhotoItem> photos = std::move(split.hits);
  bool cancelled = false;
  std::int64_t unreached = 0;
  if (!split.misses.empty()) {
    auto persist = [this, context](const std::vector<PhotoItem> &batch) {
      persistBatch(context, batch);
    };
    auto outcome = analyzeMisses(source, split.misses, run, std::move(persist), stop);
    photos.insert(photos.end(), std::make_move_iterator(outcome.items.begin()),
                  std::make_move_iterator(outcome.items.end()));
    cancelled = outcome.cancelled;
    if (cancelled) {
      unreached = std::max<std::int64_t>(0, static_cast<std::int64_t>(split.misses.size()) -
                                                outcome.handled);
    }
  }
  source.analysisEnded();

  ScanResult result =
      finishScan(context, std::move(photos), run.total, run.hits, cancelled, t0, progress);
  result.unreachedCount = std::min(unreached, result.skippedCount);
  source.amend(result);
  return result;
}

std::shared_ptr<const platform::DecodedImage>
LumoraEngine::scanPreview(const PhotoItem &item) const {
  if (item.isFromLibrary()) {
    return nullptr;
  }
  return m_previews.find(item.id, item.fileSize, item.modified);
}

std::optional<EngineError> LumoraEngine::listPhotos(const std::shared_ptr<ScanContext> &context,
                                                    PhotoSource &source) {
  const double t1 = Date::now().secondsSince1970;
  if (auto error = source.list()) {
    return error;
  }
  PathSet ids;
  ids.reserve(source.count());
  for (std::size_t i = 0; i < source.count(); ++i) {
    ids.insert(source.id(i));
  }
  // Only the vectors of this scan's photos are decoded.
  loadCacheIfNeeded(context, &ids);
  Diagnostics::logTiming(source.listingLabel(), Date::now().secondsSince1970 - t1);
  Diagnostics::logMemory(QStringLiteral("after-enumerate"));
  return std::nullopt;
}

LumoraEngine::CacheSplit LumoraEngine::splitByCache(const std::shared_ptr<ScanContext> &context,
                                                    PhotoSource &source) {
  CacheSplit split;
  split.hits.reserve(source.count());
  const std::scoped_lock guard(m_mutex);
  const auto &entries = m_cache.entries();
  // The current scan borrows the hits' vectors from the cache instead of copying them (a
  // large library holds hundreds of megabytes of them) and gives them back when it ends.
  const bool current = context->generation == m_scanGeneration;
  for (std::size_t i = 0; i < source.count(); ++i) {
    const std::string &id = source.id(i);
    const auto found = entries.find(id);
    const bool hit = found != entries.end() && !found->second.feature.empty() &&
                     source.version(i).isDescribedBy(found->second);
    if (!hit) {
      split.misses.push_back(i);
      continue;
    }
    std::vector<float> feature = current ? m_cache.takeFeature(id) : found->second.feature;
    split.hits.push_back(source.cachedPhoto(i, found->second, std::move(feature)));
  }
  return split;
}

} // namespace lumora
