#include "engine/library/PhotoLibraryBackend.h"

#include "engine/library/PhotoLibraryAccess.h"
#include "engine/library/PhotoLibrarySource.h"

namespace lumora {

std::shared_ptr<LibraryBackend> defaultLibraryBackend() {
  return std::make_shared<PhotoLibraryBackend>();
}

EngineError PhotoLibraryBackend::toEngineError(const PhotoLibraryError &error) {
  EngineError::LibraryKind kind = EngineError::LibraryKind::other;
  if (error.kind == PhotoLibraryError::Kind::denied) {
    kind = EngineError::LibraryKind::denied;
  } else if (error.kind == PhotoLibraryError::Kind::empty) {
    kind = EngineError::LibraryKind::empty;
  }
  return EngineError::fromLibrary(kind, error.errorDescription());
}

bool PhotoLibraryBackend::isGranted() { return PhotoLibraryAccess::isGranted(); }

bool PhotoLibraryBackend::requestAuthorization() {
  return PhotoLibraryAccess::requestAuthorization();
}

Expected<std::vector<LibraryAssetInfo>, EngineError> PhotoLibraryBackend::fetchAll() {
  auto assets = PhotoLibrarySource::fetchAll();
  if (!assets) {
    return Unexpected(toEngineError(assets.error()));
  }
  return std::move(assets).value();
}

EngineError PhotoLibraryBackend::failure(EngineError::LibraryKind kind) const {
  return toEngineError(kind == EngineError::LibraryKind::empty ? PhotoLibraryError::empty()
                                                               : PhotoLibraryError::denied());
}

std::string PhotoLibraryBackend::itemID(const std::string &localIdentifier) const {
  return PhotoLibrarySource::itemID(localIdentifier);
}

QUrl PhotoLibraryBackend::itemURL(const std::string &localIdentifier) const {
  return PhotoLibrarySource::syntheticURL(localIdentifier);
}

LibraryThumbnail PhotoLibraryBackend::thumbnail(const std::string &localIdentifier, int maxPixel) {
  LibraryThumbnail result;
  result.image = PhotoLibrarySource::thumbnail(
      localIdentifier, maxPixel, PhotoLibrarySource::kThumbnailTimeout, &result.tooLarge);
  return result;
}

std::optional<EngineError>
PhotoLibraryBackend::deleteAssets(const std::vector<std::string> &localIdentifiers) {
  const auto done = PhotoLibrarySource::deleteAssets(localIdentifiers);
  return done ? std::nullopt : std::optional<EngineError>(toEngineError(done.error()));
}

std::optional<EngineError>
PhotoLibraryBackend::setFavorite(const std::vector<std::string> &localIdentifiers, bool favorite) {
  const auto done = PhotoLibrarySource::setFavorite(localIdentifiers, favorite);
  return done ? std::nullopt : std::optional<EngineError>(toEngineError(done.error()));
}

std::optional<platform::DecodedImage>
PhotoLibraryBackend::previewImage(const std::string &localIdentifier, int maxPixel) {
  return PhotoLibrarySource::previewImage(localIdentifier, maxPixel);
}

std::optional<QString> PhotoLibraryBackend::originalFilename(const std::string &localIdentifier) {
  return PhotoLibrarySource::originalFilename(localIdentifier);
}

} // namespace lumora
