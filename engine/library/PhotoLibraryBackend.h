#pragma once

#include "engine/core/LibraryBackend.h"
#include "engine/library/PhotoLibraryError.h"

namespace lumora {

/// The engine's view of the local photo library (PhotoLibraryAccess and PhotoLibrarySource).
class PhotoLibraryBackend final : public LibraryBackend {
public:
  [[nodiscard]] bool isGranted() override;
  [[nodiscard]] bool requestAuthorization() override;
  [[nodiscard]] Expected<std::vector<LibraryAssetInfo>, EngineError> fetchAll() override;
  [[nodiscard]] EngineError failure(EngineError::LibraryKind kind) const override;
  [[nodiscard]] std::string itemID(const std::string &localIdentifier) const override;
  [[nodiscard]] QUrl itemURL(const std::string &localIdentifier) const override;
  [[nodiscard]] LibraryThumbnail thumbnail(const std::string &localIdentifier,
                                           int maxPixel) override;
  [[nodiscard]] std::optional<EngineError>
  deleteAssets(const std::vector<std::string> &localIdentifiers) override;
  [[nodiscard]] std::optional<EngineError>
  setFavorite(const std::vector<std::string> &localIdentifiers, bool favorite) override;
  [[nodiscard]] std::optional<platform::DecodedImage>
  previewImage(const std::string &localIdentifier, int maxPixel) override;
  [[nodiscard]] std::optional<QString>
  originalFilename(const std::string &localIdentifier) override;

  /// The engine error that carries a library error to the store.
  [[nodiscard]] static EngineError toEngineError(const PhotoLibraryError &error);
};

} // namespace lumora
