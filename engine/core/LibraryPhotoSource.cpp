#include "engine/core/LibraryPhotoSource.h"

#include "engine/core/ScanWorkers.h"

#include <algorithm>
#include <utility>

namespace lumora {

LibraryPhotoSource::LibraryPhotoSource(std::shared_ptr<LibraryBackend> library,
                                       const ScanOptions &options)
    : m_library(std::move(library)),
      m_maxPixel(static_cast<int>(std::clamp<std::int64_t>(options.maxPixel, 1, 1 << 16))) {}

std::optional<EngineError> LibraryPhotoSource::list() {
  auto listing = m_library->fetchAll();
  if (!listing) {
    return listing.error();
  }
  m_assets = std::move(listing.value());
  m_ids.clear();
  m_ids.reserve(m_assets.size());
  for (const LibraryAssetInfo &asset : m_assets) {
    m_ids.push_back(m_library->itemID(asset.localIdentifier));
  }
  return std::nullopt;
}

QString LibraryPhotoSource::listingLabel() const { return QStringLiteral("enumerate-library"); }

EngineError LibraryPhotoSource::emptyError() const {
  return m_library->failure(EngineError::LibraryKind::empty);
}

const std::string &LibraryPhotoSource::id(std::size_t index) const { return m_ids[index]; }

FileVersion LibraryPhotoSource::version(std::size_t index) const {
  return FileVersion{m_assets[index].modified, std::nullopt};
}

PhotoItem LibraryPhotoSource::cachedPhoto(std::size_t index, const CacheEntry &entry,
                                          std::vector<float> feature) {
  return makeLibraryItem(index, entry.score, entry.isUtility, entry.sharpness, std::move(feature));
}

std::optional<FileAnalysis> LibraryPhotoSource::analyze(std::size_t index) const {
  const LibraryAssetInfo &asset = m_assets[index];
  const LibraryThumbnail thumbnail = m_library->thumbnail(asset.localIdentifier, m_maxPixel);
  if (thumbnail.tooLarge) {
    m_tooLarge.fetch_add(1, std::memory_order_relaxed);
  }
  auto analysis = thumbnail.image ? analyzeImage(*thumbnail.image) : std::nullopt;
  if (!analysis) {
    return std::nullopt;
  }
  return FileAnalysis{std::move(*analysis), asset.created};
}

PhotoItem LibraryPhotoSource::analysedPhoto(std::size_t index, const FileAnalysis &result) const {
  const ImageAnalysis &analysis = result.analysis;
  return makeLibraryItem(index, analysis.score, analysis.isUtility, analysis.sharpness,
                         analysis.feature);
}

QString LibraryPhotoSource::progressName(std::size_t) const { return QStringLiteral("照片图库"); }

void LibraryPhotoSource::amend(ScanResult &result) const {
  result.tooLargeCount += m_tooLarge.load(std::memory_order_relaxed);
}

PhotoItem LibraryPhotoSource::makeLibraryItem(std::size_t index, float score, bool isUtility,
                                              float sharpness, std::vector<float> feature) const {
  const LibraryAssetInfo &asset = m_assets[index];
  return PhotoItem(m_ids[index], m_library->itemURL(asset.localIdentifier), score, isUtility,
                   sharpness, 0, asset.modified, std::move(feature), asset.localIdentifier,
                   asset.created, asset.isFavorite);
}

} // namespace lumora
