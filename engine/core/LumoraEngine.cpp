#include "engine/core/LumoraEngine.h"

#include "engine/analysis/VisionAnalyzer.h"
#include "engine/cache/AnalyzerStamp.h"
#include "engine/core/CaptureOrder.h"
#include "engine/core/PairPruning.h"
#include "engine/diagnostics/Diagnostics.h"

#include <QFile>
#include <algorithm>
#include <utility>

namespace lumora {
LumoraEngine::LumoraEngine(std::optional<QString> cacheFile, EngineServices services)
    : m_services(std::move(services)) {
  const std::filesystem::path base =
      cacheFile ? std::filesystem::path(QFile::encodeName(*cacheFile).toStdString())
                : AnalysisCache::defaultDirectory() / "analysis-cache.bin";
  m_files = CacheFiles::forBase(base);
  m_favorites = FavoriteStore::load();
}

LumoraEngine::~LumoraEngine() = default;

std::shared_ptr<LumoraEngine::ScanContext> LumoraEngine::beginScan(PartialHandler onPartial,
                                                                   std::stop_token stop) {
  auto context = std::make_shared<ScanContext>();
  context->onPartial = std::move(onPartial);
  context->stop = std::move(stop);
  const std::scoped_lock guard(m_mutex);
  context->generation = ++m_scanGeneration;
  std::erase_if(m_activeScans, [](const auto &weak) { return weak.expired(); });
  m_activeScans.push_back(context);
  return context;
}

void LumoraEngine::endScan(const std::shared_ptr<ScanContext> &context) {
  const std::scoped_lock guard(m_mutex);
  std::erase_if(m_activeScans, [&](const auto &weak) {
    const auto scan = weak.lock();
    return !scan || scan == context;
  });
}

void LumoraEngine::loadCacheIfNeeded(const std::shared_ptr<ScanContext> &context,
                                     const PathSet *only) {
  const double t = Date::now().secondsSince1970;
  std::size_t count = 0;
  {
    // The files are read under the lock. Read outside it, a batch, tombstone or clearing
    // made meanwhile would be lost with the cache it went into, and the next compaction would
    // write back what the files no longer held: a deleted photo, a cleared cache.
    const std::scoped_lock guard(m_mutex);
    // A superseded scan keeps the newer scan's cache: replacing it would take away the
    // feature vectors that scan decoded for its own photos, and turn its hits into misses.
    if (context->generation == m_scanGeneration) {
      // The cache in memory is about to be replaced: let it go before the new one is read,
      // so that the two are never held at once.
      m_cache = AnalysisCache();
      analyzerstamp::dropIfStale(m_files, VisionAnalyzer::kRevision);
      m_cache = AnalysisCache::load(m_files, only);
      const std::scoped_lock logGuard(m_logMutex);
      m_logAppender.recheck();
    }
    count = m_cache.entries().size();
  }
  Diagnostics::logTiming(QStringLiteral("cache-load(%1 entries)").arg(count),
                         Date::now().secondsSince1970 - t);
  Diagnostics::logMemory(QStringLiteral("after-cache-load"));
}

void LumoraEngine::persistBatch(const std::shared_ptr<ScanContext> &context,
                                std::vector<PhotoItem> items) {
  std::string records;
  {
    const std::scoped_lock guard(m_mutex);
    // A photo deleted while this scan ran must not come back through the cache or the
    // live results.
    std::erase_if(items, [&](const PhotoItem &item) { return context->deleted.contains(item.id); });
    for (const PhotoItem &item : items) {
      records +=
          m_cache.stage(CacheEntry{item.id, item.modified, item.captureDate, item.fileSize,
                                   item.score, item.isUtility, item.sharpness, item.feature});
    }
    m_dirty = true;
  }
  // The records go to the log outside the engine's lock. A deletion or compaction that slips
  // in between stays sound: tombstones apply after the log whatever the order of the files'
  // lines, and a compaction has already written these entries from memory.
  if (!records.empty()) {
    const std::scoped_lock logGuard(m_logMutex);
    m_logAppender.append(records, m_files.log);
  }
  deliverPartial(context, items);
}

void LumoraEngine::deliverPartial(const std::shared_ptr<ScanContext> &context,
                                  const std::vector<PhotoItem> &items) {
  if (!context->onPartial || items.empty()) {
    return;
  }
  // One delivery at a time per scan, so batches reach the handler in persisting order.
  const std::scoped_lock delivery(context->deliveryMutex);
  {
    const std::scoped_lock guard(m_mutex);
    if (context->generation != m_scanGeneration) {
      return;
    }
  }
  context->onPartial(items);
}

ScanResult LumoraEngine::finishScan(const std::shared_ptr<ScanContext> &context,
                                    std::vector<PhotoItem> items, std::int64_t fileCount,
                                    std::int64_t cacheHits, bool cancelled, double t0,
                                    const ProgressHandler &progress) {
  const auto handed = static_cast<std::int64_t>(items.size());
  const auto elapsed = [&] { return Date::now().secondsSince1970 - t0; };
  if (!cancelled) {
    progress(ScanProgress{ScanPhase::finishing, fileCount, fileCount, {}, elapsed(), 0.0});
  } else {
    progress(ScanProgress{ScanPhase::finishing, handed, fileCount, {}, elapsed(), std::nullopt});
  }

  {
    const std::scoped_lock guard(m_mutex);
    std::erase_if(items, [&](const PhotoItem &item) { return context->deleted.contains(item.id); });
  }
  sortByCaptureDate(items);

  const double t = Date::now().secondsSince1970;
  std::vector<PairDistance> pairs = Clusterer::buildPairs(
      items, Clusterer::kMaxGap, Clusterer::kMaxNeighborsPerItem, Clusterer::kMaxPairs);
  Clusterer::PairIndex index(pairs);
  Diagnostics::logTiming(QStringLiteral("build-pairs(%1)").arg(pairs.size()),
                         Date::now().secondsSince1970 - t);
  Diagnostics::logMemory(QStringLiteral("after-pairs"));

  std::unordered_set<std::string> ids;
  ids.reserve(items.size());
  for (const PhotoItem &item : items) {
    ids.insert(item.id);
  }
  returnFeatures(context, items);
  Diagnostics::logMemory(QStringLiteral("after-drop-features"));
  // Compacting only now, with the borrowed vectors back in the cache, spares it reading them
  // from the old files again.
  if (!cancelled) {
    compactIfNeeded(context);
  }

  {
    const std::scoped_lock guard(m_mutex);
    // Photos deleted while pairs were built are dropped here as well.
    if (!context->deleted.empty()) {
      prunePhotos(items, pairs, context->deleted);
      index = Clusterer::PairIndex(pairs);
    }
    // Favourites are applied only now, in the same section that stores the state, so that
    // one set while the pairs were built is not lost.
    markFavorites(items);
    // A superseded scan keeps its result to itself: the newer scan owns the engine's state.
    if (context->generation == m_scanGeneration) {
      // The old state goes first (unless a regroup still reads it), so that a large library's
      // two states are not held at once; readers only see `m_last` under the lock.
      m_last.reset();
      m_last = std::make_shared<const LastScan>(
          LastScan{items, std::move(pairs), std::move(index), signatureOf(items)});
      ++m_lastStateVersion;
      m_scanStateGeneration = context->generation;
      m_cache.releaseFeatures(ids);
    }
  }
  Diagnostics::logMemory(QStringLiteral("after-release-unused-features"));

  ScanResult result;
  result.fileCount = fileCount;
  result.skippedCount =
      std::max<std::int64_t>(0, fileCount - static_cast<std::int64_t>(items.size()));
  result.cacheHitCount = cacheHits;
  result.elapsed = elapsed();
  result.isPartial = cancelled;
  result.items = std::move(items);
  return result;
}

void LumoraEngine::compactIfNeeded(const std::shared_ptr<ScanContext> &context) {
  const std::scoped_lock guard(m_mutex);
  // A superseded scan leaves it to the newer one, whose vectors may be out of the cache.
  if (context->generation != m_scanGeneration || !(m_dirty || m_cache.needsMigration())) {
    return;
  }
  const double t = Date::now().secondsSince1970;
  const Expected<void, QString> compacted =
      m_cache.compact(m_files.base, m_files.log, m_files.tombstones);
  Diagnostics::logTiming(QStringLiteral("cache-compact"), Date::now().secondsSince1970 - t);
  if (!compacted) {
    // Nothing is lost: the log and tombstones stay and the next scan tries again.
    Diagnostics::log(QStringLiteral("scan"),
                     QStringLiteral("cache compaction failed: %1").arg(compacted.error()));
    return;
  }
  m_dirty = false;
}

void LumoraEngine::returnFeatures(const std::shared_ptr<ScanContext> &context,
                                  std::vector<PhotoItem> &items) {
  const std::scoped_lock guard(m_mutex);
  // Only the current scan borrowed vectors from the cache in memory; a superseded one's cache
  // has been replaced and its photos simply drop theirs.
  const bool current = context->generation == m_scanGeneration;
  for (PhotoItem &item : items) {
    std::vector<float> feature = std::exchange(item.feature, {});
    if (current) {
      m_cache.restoreFeature(item.id, item.modified, item.fileSize, std::move(feature));
    }
  }
}

void LumoraEngine::markFavorites(std::vector<PhotoItem> &items) const {
  for (PhotoItem &item : items) {
    if (!item.isFromLibrary() && m_favorites.contains(item.id)) {
      item.isFavorite = true;
    }
  }
}

LumoraEngine::ProgressHandler LumoraEngine::orIgnoring(ProgressHandler progress) {
  // Calling an empty handler would throw, from a worker thread too, and end the process.
  if (!progress) {
    return [](const ScanProgress &) {};
  }
  return progress;
}

std::shared_ptr<const LumoraEngine::LastScan>
LumoraEngine::makeLastScan(std::vector<PhotoItem> items, std::vector<PairDistance> pairs) {
  auto last = std::make_shared<LastScan>();
  last->index = Clusterer::PairIndex(pairs);
  last->signature = signatureOf(items);
  last->items = std::move(items);
  last->pairs = std::move(pairs);
  return last;
}

LumoraEngine::Signature LumoraEngine::signatureOf(const std::vector<PhotoItem> &items) {
  Signature signature;
  signature.count = static_cast<std::int64_t>(items.size());
  if (!items.empty()) {
    signature.first = items.front().id;
    signature.last = items.back().id;
  }
  return signature;
}

} // namespace lumora
