// The folder scan: enumeration, cache hits, concurrent analysis of the misses.
#include "engine/core/LumoraEngine.h"

#include "engine/analysis/QualityScore.h"
#include "engine/core/ScanContext.h"
#include "engine/core/ScanWorkers.h"
#include "engine/diagnostics/Diagnostics.h"
#include "engine/imaging/ImageLoader.h"

#include <cmath>

namespace lumora {
namespace {

/// What analysing one folder file gives.
struct FileAnalysis {
  ImageAnalysis analysis;
  Date captureDate;
};

/// Loads and analyses one file; nothing when it cannot be decoded or analysed.
std::optional<FileAnalysis> analyzeFile(const FileInfo &info, const ScanOptions &options) {
  auto loaded = ImageLoader::load(info.url, static_cast<int>(options.maxPixel));
  if (!loaded) {
    return std::nullopt;
  }
  auto analysis = analyzeImage(loaded->image);
  if (!analysis) {
    return std::nullopt;
  }
  // The thumbnail alone cannot tell a reduced copy from its original; the file's size can.
  analysis->score = QualityScore::withSourceSize(analysis->score, loaded->sourcePixels);
  return FileAnalysis{std::move(*analysis), loaded->captureDate.value_or(info.modified)};
}

/// The cache entry that still describes `file`, or null when the file must be analysed.
const CacheEntry *hitEntry(const AnalysisCache &cache, const FileInfo &file) {
  const auto &entries = cache.entries();
  if (entries.empty()) {
    return nullptr;
  }
  const auto found = entries.find(file.path);
  if (found == entries.end()) {
    return nullptr;
  }
  const CacheEntry &entry = found->second;
  const bool hit =
      !entry.feature.empty() && entry.fileSize == file.fileSize &&
      std::abs(entry.modified.secondsSince1970 - file.modified.secondsSince1970) < 0.001;
  return hit ? &entry : nullptr;
}

} // namespace

Expected<ScanResult, EngineError> LumoraEngine::scan(const std::vector<QUrl> &urls,
                                                     const ScanOptions &options,
                                                     ProgressHandler progress,
                                                     PartialHandler onPartial,
                                                     std::stop_token stop) {
  const double t0 = Date::now().secondsSince1970;
  progress = orIgnoring(std::move(progress));
  const auto context = beginScan(std::move(onPartial), stop);
  progress(ScanProgress::idle());

  const double t1 = Date::now().secondsSince1970;
  EnumerateResult listing = ImageLoader::enumerate(urls, options);
  PathSet paths;
  paths.reserve(listing.files.size());
  for (const FileInfo &file : listing.files) {
    paths.insert(file.path);
  }
  loadCacheIfNeeded(context, &paths);
  Diagnostics::logTiming(QStringLiteral("enumerate"), Date::now().secondsSince1970 - t1);
  Diagnostics::logMemory(QStringLiteral("after-enumerate"));

  if (listing.files.empty()) {
    endScan(context);
    if (!listing.unreadableRoots.empty()) {
      return Unexpected(EngineError::fromCurator(CuratorError::unreadable(listing.unreadableRoots.front())));
    }
    const QUrl where = urls.empty() ? QUrl::fromLocalFile(QStringLiteral("/")) : urls.front();
    return Unexpected(EngineError::fromCurator(CuratorError::noImagesFound(where)));
  }

  std::vector<PhotoItem> photos;
  std::vector<FileInfo> misses;
  {
    const std::scoped_lock guard(m_mutex);
    // The current scan borrows the hits' vectors from the cache instead of copying them (a
    // large library holds hundreds of megabytes of them) and gives them back when it ends.
    const bool current = context->generation == m_scanGeneration;
    photos.reserve(listing.files.size());
    for (FileInfo &file : listing.files) {
      const CacheEntry *entry = hitEntry(m_cache, file);
      if (entry == nullptr) {
        misses.push_back(std::move(file));
        continue;
      }
      std::vector<float> feature = current ? m_cache.takeFeature(file.path) : entry->feature;
      photos.emplace_back(std::move(file.path), std::move(file.url), entry->score, entry->isUtility,
                          entry->sharpness, file.fileSize, file.modified, std::move(feature),
                          std::nullopt, entry->captureDate, false);
    }
  }
  const auto hits = static_cast<std::int64_t>(photos.size());
  const auto fileCount = static_cast<std::int64_t>(listing.files.size());
  deliverPartial(context, photos);

  bool cancelled = false;
  if (!misses.empty()) {
    analysisworkers::WorkerCallbacks<FileInfo, FileAnalysis> callbacks;
    callbacks.analyze = [options](const FileInfo &file) { return analyzeFile(file, options); };
    callbacks.makeItem = [](const FileInfo &file, const FileAnalysis &result) {
      return PhotoItem(file.path, file.url, result.analysis.score, result.analysis.isUtility,
                       result.analysis.sharpness, file.fileSize, file.modified,
                       result.analysis.feature, std::nullopt, result.captureDate, false);
    };
    callbacks.nameOf = [](const FileInfo &file) { return file.url.fileName(); };
    callbacks.onBatch = [this, context](const std::vector<PhotoItem> &batch) {
      persistBatch(context, batch);
    };
    const auto outcome =
        runScanWorkers(misses, fileCount, hits, options, t0, progress, std::move(callbacks), stop);
    photos.insert(photos.end(), outcome.items.begin(), outcome.items.end());
    cancelled = outcome.cancelled;
  }
  Diagnostics::logMemory(QStringLiteral("after-analysis"));

  ScanResult result =
      finishScan(context, std::move(photos), fileCount, hits, cancelled, t0, progress);
  // Files whose names cannot be photo ids were found, but are skipped.
  result.fileCount += listing.invalidNameCount;
  result.skippedCount += listing.invalidNameCount;
  endScan(context);
  return result;
}

} // namespace lumora
