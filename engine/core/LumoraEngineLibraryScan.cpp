// The photo-library scan: the folder scan's steps over library assets.
#include "engine/core/LumoraEngine.h"

#include "engine/core/ScanContext.h"
#include "engine/core/ScanWorkers.h"
#include "engine/diagnostics/Diagnostics.h"

#include <cmath>

namespace lumora {
namespace {

bool isHit(const AnalysisCache &cache, const LibraryAssetInfo &asset, const std::string &id) {
  const auto &entries = cache.entries();
  if (entries.empty()) {
    return false;
  }
  const auto found = entries.find(id);
  return found != entries.end() && !found->second.feature.empty() &&
         std::abs(found->second.modified.secondsSince1970 - asset.modified.secondsSince1970) < 0.001;
}

/// The photo of one library asset; its capture date is the asset's creation date.
PhotoItem makeLibraryItem(const LibraryBackend &library, const LibraryAssetInfo &asset,
                          float score, bool isUtility, float sharpness,
                          std::vector<float> feature) {
  return PhotoItem(library.itemID(asset.localIdentifier), library.itemURL(asset.localIdentifier),
                   score, isUtility, sharpness, 0, asset.modified, std::move(feature),
                   asset.localIdentifier, asset.created, asset.isFavorite);
}

// Without a library (disabled by the engine's owner) a library scan is refused like one
// without access.
EngineError noLibrary() {
  return EngineError::fromLibrary(EngineError::LibraryKind::denied, QStringLiteral("图库不可用"));
}

} // namespace

Expected<ScanResult, EngineError> LumoraEngine::scanLibrary(const ScanOptions &options,
                                                            ProgressHandler progress,
                                                            PartialHandler onPartial,
                                                            std::stop_token stop) {
  const double t0 = Date::now().secondsSince1970;
  const auto library = m_services.library;
  if (!library || !library->isGranted()) {
    return Unexpected(library ? library->failure(EngineError::LibraryKind::denied) : noLibrary());
  }
  progress = orIgnoring(std::move(progress));
  const auto context = beginScan(std::move(onPartial), stop);
  progress(ScanProgress::idle());

  const double t1 = Date::now().secondsSince1970;
  auto listing = library->fetchAll();
  if (!listing) {
    endScan(context);
    return Unexpected(listing.error());
  }
  const std::vector<LibraryAssetInfo> &assets = listing.value();
  PathSet ids;
  ids.reserve(assets.size());
  for (const LibraryAssetInfo &asset : assets) {
    ids.insert(library->itemID(asset.localIdentifier));
  }
  loadCacheIfNeeded(context, &ids);
  Diagnostics::logTiming(QStringLiteral("enumerate-library"), Date::now().secondsSince1970 - t1);
  Diagnostics::logMemory(QStringLiteral("after-enumerate"));
  if (assets.empty()) {
    endScan(context);
    return Unexpected(library->failure(EngineError::LibraryKind::empty));
  }

  std::vector<PhotoItem> photos;
  std::vector<LibraryAssetInfo> misses;
  {
    const std::scoped_lock guard(m_mutex);
    // As in the folder scan, the current scan borrows the hits' vectors until it ends.
    const bool current = context->generation == m_scanGeneration;
    for (const LibraryAssetInfo &asset : assets) {
      const std::string id = library->itemID(asset.localIdentifier);
      if (isHit(m_cache, asset, id)) {
        const CacheEntry &entry = m_cache.entries().at(id);
        std::vector<float> feature = current ? m_cache.takeFeature(id) : entry.feature;
        photos.push_back(makeLibraryItem(*library, asset, entry.score, entry.isUtility,
                                         entry.sharpness, std::move(feature)));
      } else {
        misses.push_back(asset);
      }
    }
  }
  const auto hits = static_cast<std::int64_t>(photos.size());
  const auto total = static_cast<std::int64_t>(assets.size());
  deliverPartial(context, photos);

  bool cancelled = false;
  if (!misses.empty()) {
    const int maxPixel = static_cast<int>(std::clamp<std::int64_t>(options.maxPixel, 1, 1 << 16));
    analysisworkers::WorkerCallbacks<LibraryAssetInfo, ImageAnalysis> callbacks;
    callbacks.analyze = [library, maxPixel](const LibraryAssetInfo &asset) {
      const auto image = library->thumbnail(asset.localIdentifier, maxPixel);
      return image ? analyzeImage(*image) : std::nullopt;
    };
    callbacks.makeItem = [library](const LibraryAssetInfo &asset, const ImageAnalysis &analysis) {
      return makeLibraryItem(*library, asset, analysis.score, analysis.isUtility,
                             analysis.sharpness, analysis.feature);
    };
    callbacks.nameOf = [](const LibraryAssetInfo &) { return QStringLiteral("照片图库"); };
    callbacks.onBatch = [this, context](const std::vector<PhotoItem> &batch) {
      persistBatch(context, batch);
    };
    const auto outcome =
        runScanWorkers(misses, total, hits, options, t0, progress, std::move(callbacks), stop);
    photos.insert(photos.end(), outcome.items.begin(), outcome.items.end());
    cancelled = outcome.cancelled;
  }

  ScanResult result = finishScan(context, std::move(photos), total, hits, cancelled, t0, progress);
  endScan(context);
  return result;
}

} // namespace lumora
