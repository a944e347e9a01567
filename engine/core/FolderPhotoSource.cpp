#include "engine/core/FolderPhotoSource.h"

#include "engine/analysis/QualityScore.h"
#include "engine/core/ScanWorkers.h"
#include "engine/diagnostics/Diagnostics.h"
#include "engine/imaging/ImageLoader.h"

#include <utility>

namespace lumora {
namespace {

/// The photo with the device and inode of the file the scan listed.
PhotoItem withFileIdentity(PhotoItem photo, const FileInfo &file) {
  photo.device = file.device;
  photo.inode = file.inode;
  return photo;
}

} // namespace

FolderPhotoSource::FolderPhotoSource(std::vector<QUrl> roots, const ScanOptions &options,
                                     ScanPreviews *previews)
    : m_roots(std::move(roots)), m_options(options), m_previews(previews) {}

std::optional<EngineError> FolderPhotoSource::list() {
  m_listing = ImageLoader::enumerate(m_roots, m_options);
  return std::nullopt;
}

QString FolderPhotoSource::listingLabel() const { return QStringLiteral("enumerate"); }

EngineError FolderPhotoSource::emptyError() const {
  if (!m_listing.unreadableRoots.empty()) {
    return EngineError::fromCurator(CuratorError::unreadable(m_listing.unreadableRoots.front()));
  }
  const QUrl where = m_roots.empty() ? QUrl::fromLocalFile(QStringLiteral("/")) : m_roots.front();
  return EngineError::fromCurator(CuratorError::noImagesFound(where));
}

const std::string &FolderPhotoSource::id(std::size_t index) const {
  return m_listing.files[index].path;
}

FileVersion FolderPhotoSource::version(std::size_t index) const {
  const FileInfo &file = m_listing.files[index];
  return FileVersion{file.modified, file.fileSize};
}

PhotoItem FolderPhotoSource::cachedPhoto(std::size_t index, const CacheEntry &entry,
                                         std::vector<float> feature) {
  // A large folder holds many hits; their paths and URLs move instead of being copied.
  FileInfo &file = m_listing.files[index];
  PhotoItem photo(std::move(file.path), std::move(file.url), entry.score, entry.isUtility,
                  entry.sharpness, file.fileSize, file.modified, std::move(feature), std::nullopt,
                  entry.captureDate, false);
  return withFileIdentity(std::move(photo), file);
}

std::optional<FileAnalysis> FolderPhotoSource::analyze(std::size_t index) const {
  const FileInfo &file = m_listing.files[index];
  auto loaded = ImageLoader::loadFile(file.path, static_cast<int>(m_options.maxPixel));
  if (!loaded) {
    if (loaded.error().kind == DecodeError::Kind::tooLarge) {
      m_tooLarge.fetch_add(1, std::memory_order_relaxed);
      m_tooManyPixels.fetch_add(loaded.error().overPixelLimit ? 1 : 0, std::memory_order_relaxed);
    }
    return std::nullopt;
  }
  SourceFacts facts{loaded->sourcePixels, loaded->detailStep, loaded->codingTrace, {}};
  // Decoded again, like the first time and charged to the same budget, only for a document
  // whose writing the thumbnail shows too small.
  facts.redecode = [&file](int longSide, const SourceFacts::Use &use) {
    const auto again = ImageLoader::loadFile(file.path, longSide);
    if (again)
      use(viewOf(again->image));
  };
  auto analysis = analyzeImage(loaded->image, facts);
  if (!analysis) {
    return std::nullopt;
  }
  // The thumbnail alone cannot tell a reduced copy from its original; the file's size can.
  analysis->score = qualityscore::withSourceSize(analysis->score, loaded->sourcePixels);
  if (m_previews) {
    m_previews->keep(file.path, file.fileSize, file.modified, loaded->image);
  }
  return FileAnalysis{std::move(*analysis), loaded->captureDate.value_or(file.modified)};
}

PhotoItem FolderPhotoSource::analysedPhoto(std::size_t index, const FileAnalysis &result) const {
  const FileInfo &file = m_listing.files[index];
  PhotoItem photo(file.path, file.url, result.analysis.score, result.analysis.isUtility,
                  result.analysis.sharpness, file.fileSize, file.modified, result.analysis.feature,
                  std::nullopt, result.captureDate, false);
  return withFileIdentity(std::move(photo), file);
}

QString FolderPhotoSource::progressName(std::size_t index) const {
  return m_listing.files[index].url.fileName();
}

void FolderPhotoSource::analysisEnded() const {
  Diagnostics::logMemory(QStringLiteral("after-analysis"));
}

void FolderPhotoSource::amend(ScanResult &result) const {
  result.fileCount += m_listing.invalidNameCount;
  result.skippedCount += m_listing.invalidNameCount;
  result.tooLargeCount += m_tooLarge.load(std::memory_order_relaxed);
  result.tooManyPixelsCount += m_tooManyPixels.load(std::memory_order_relaxed);
}

} // namespace lumora
