#pragma once

#include "engine/core/EngineError.h"
#include "engine/model/LibraryAssetInfo.h"
#include "engine/util/Expected.h"
#include "platform/core/imaging/DecodedImage.h"

#include <QString>
#include <QUrl>
#include <optional>
#include <string>
#include <vector>

namespace lumora {

/// A thumbnail of a library photo, or why none came.
struct LibraryThumbnail {
  std::optional<platform::DecodedImage> image;
  /// None came because decoding the photo needs more memory than this machine allows one
  /// photo (the library logged it).
  bool tooLarge = false;
};

/// What the engine needs of the photo library: access, the listing, the ids of its photos,
/// thumbnails for the analysis, deletion into "Recently Deleted", favourites, previews and
/// original file names. The engine knows the library only through this interface; the
/// library's own code (engine/library) implements it and provides `defaultLibraryBackend()`.
/// Implementations are thread-safe; every call may block until the library answered.
class LibraryBackend {
public:
  virtual ~LibraryBackend() = default;

  /// Full or limited access is granted (asks nobody).
  [[nodiscard]] virtual bool isGranted() = 0;
  /// Asks for read-write access; true when full or limited access is granted afterwards.
  [[nodiscard]] virtual bool requestAuthorization() = 0;
  /// Every still image, oldest creation date first.
  [[nodiscard]] virtual Expected<std::vector<LibraryAssetInfo>, EngineError> fetchAll() = 0;
  /// The library's error of this kind, with its own description: `denied` when access is
  /// missing, `empty` when it holds no still image.
  [[nodiscard]] virtual EngineError failure(EngineError::LibraryKind kind) const = 0;
  /// The `PhotoItem` id and url of the asset.
  [[nodiscard]] virtual std::string itemID(const std::string &localIdentifier) const = 0;
  [[nodiscard]] virtual QUrl itemURL(const std::string &localIdentifier) const = 0;
  /// A fast thumbnail for the analysis and the grid, or none when none arrives within the
  /// library's time-out.
  [[nodiscard]] virtual LibraryThumbnail thumbnail(const std::string &localIdentifier,
                                                   int maxPixel) = 0;

  /// Moves the assets into "Recently Deleted"; all or nothing.
  [[nodiscard]] virtual std::optional<EngineError>
  deleteAssets(const std::vector<std::string> &localIdentifiers) = 0;
  [[nodiscard]] virtual std::optional<EngineError>
  setFavorite(const std::vector<std::string> &localIdentifiers, bool favorite) = 0;
  /// A large rendition, or nothing.
  [[nodiscard]] virtual std::optional<platform::DecodedImage>
  previewImage(const std::string &localIdentifier, int maxPixel) = 0;
  /// The file name the asset was imported with, or nothing.
  [[nodiscard]] virtual std::optional<QString>
  originalFilename(const std::string &localIdentifier) = 0;
};

} // namespace lumora
