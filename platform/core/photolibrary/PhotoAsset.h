#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace platform {

/// What an asset holds.
enum class MediaType : std::int32_t { unknown = 0, image = 1, video = 2, audio = 3 };

/// Bits of `PhotoAsset::mediaSubtypes`.
namespace mediasubtype {
inline constexpr std::uint32_t screenshot = 4;
} // namespace mediasubtype

/// One asset of the photo library as its catalogue records it. A plain value.
struct PhotoAsset {
  /// Stable identifier within this library, for example "6F1C…/L0/001".
  std::string localIdentifier;
  /// The asset's file inside the library folder.
  std::filesystem::path file;
  /// A smaller rendition of the image inside the library folder; the file may not exist
  /// (small originals and undecodable files have none).
  std::filesystem::path rendition;
  /// The file name the asset was added with, as bytes (not necessarily UTF-8).
  std::string originalFilename;
  MediaType mediaType = MediaType::image;
  std::uint32_t mediaSubtypes = 0;
  /// Seconds since 1970; absent when the asset has no creation date.
  std::optional<double> creationDate;
  /// Seconds since 1970; absent when the asset has no modification date.
  std::optional<double> modificationDate;
  bool isFavorite = false;
  /// When the asset went into "Recently Deleted"; absent while it is in the library proper.
  std::optional<double> deletedDate;

  [[nodiscard]] bool isScreenshot() const {
    return (mediaSubtypes & mediasubtype::screenshot) != 0;
  }
  [[nodiscard]] bool isInRecentlyDeleted() const { return deletedDate.has_value(); }
  bool operator==(const PhotoAsset &) const = default;
};

/// One stored file of an asset, with the name it was added under.
struct AssetResource {
  std::string originalFilename;
  std::filesystem::path file;
  bool operator==(const AssetResource &) const = default;
};

/// What `PhotoLibrary::addAsset` copies into the library.
struct NewAsset {
  /// The file to copy; it is left where it is.
  std::filesystem::path source;
  /// The name to record; the source's file name when absent.
  std::optional<std::string> originalFilename;
  MediaType mediaType = MediaType::image;
  bool isScreenshot = false;
  std::optional<double> creationDate;
  std::optional<double> modificationDate;
};

} // namespace platform
