#pragma once

#include "engine/library/PhotoLibraryError.h"
#include "engine/model/LibraryAssetInfo.h"
#include "engine/util/Expected.h"
#include "platform/core/imaging/DecodedImage.h"
#include "platform/core/photolibrary/ImageManager.h"

#include <QString>
#include <QUrl>
#include <memory>
#include <optional>
#include <string>
#include <vector>

/// The engine's access to the photo library's contents: the list of still images, their
/// thumbnails and previews, the names they were added under, favourites and deletion into
/// "Recently Deleted". Works on the library at its default location (opened again when that
/// changes). Every call blocks its calling thread until it has its answer; safe from any
/// thread.
namespace lumora::PhotoLibrarySource {

/// Seconds every caller in the system allows a thumbnail to arrive.
inline constexpr double kThumbnailTimeout = 12.0;

/// "lib:" followed by the identifier: the `PhotoItem` id of a library photo.
[[nodiscard]] std::string itemID(const std::string &localIdentifier);
/// "photo://asset/" followed by the identifier as a URL, or the file URL of /dev/null when
/// that does not parse: the `PhotoItem` url of a library photo.
[[nodiscard]] QUrl syntheticURL(const std::string &localIdentifier);

/// Every still image of the library, oldest creation date first. Fails only when the
/// library cannot be read (damaged or locked catalogue); an empty library is an empty list.
[[nodiscard]] Expected<std::vector<LibraryAssetInfo>, PhotoLibraryError> fetchAll();

/// A fast thumbnail fitting max(`maxPixel`, 64) square, or nothing when the asset is gone,
/// cannot be decoded, the request is cancelled, or nothing arrives within `timeout` seconds
/// (then the request is cancelled and the time-out is logged under "photo"). A photo too
/// large to decode on this machine is logged under "photo" with its name and the memory it
/// needs, and sets `tooLarge` when given.
[[nodiscard]] std::optional<platform::DecodedImage> thumbnail(const std::string &localIdentifier,
                                                              int maxPixel, double timeout,
                                                              bool *tooLarge = nullptr);

/// An exactly resized image fitting max(`maxPixel`, 256) square, without time-out; nothing
/// when the asset is gone or its final result carries no image.
[[nodiscard]] std::optional<platform::DecodedImage> previewImage(const std::string &localIdentifier,
                                                                 int maxPixel);

/// The file name the asset was added under; nothing when the asset is gone.
[[nodiscard]] std::optional<QString> originalFilename(const std::string &localIdentifier);

/// Sets the favourite flag of the assets that still exist, in one change block. An empty
/// list, or one naming no existing asset, changes nothing and succeeds.
[[nodiscard]] Expected<void, PhotoLibraryError>
setFavorite(const std::vector<std::string> &localIdentifiers, bool favorite);

/// Moves the assets that still exist into "Recently Deleted", in one change block. An empty
/// list, or one naming no existing asset, changes nothing and succeeds.
[[nodiscard]] Expected<void, PhotoLibraryError>
deleteAssets(const std::vector<std::string> &localIdentifiers);

/// Replaces the image manager all requests go to (tests script one); nullptr restores the
/// library's own.
void setImageManager(std::shared_ptr<platform::ImageManager> manager);

} // namespace lumora::PhotoLibrarySource
