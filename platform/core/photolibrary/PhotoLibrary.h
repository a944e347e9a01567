#pragma once

#include "platform/core/Expected.h"
#include "platform/core/photolibrary/ChangeBlock.h"
#include "platform/core/photolibrary/LibraryError.h"
#include "platform/core/photolibrary/PhotoAsset.h"
#include "platform/core/photolibrary/PhotoCatalogue.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

/// Our own photo library: a folder holding the asset files ("originals/"), smaller renditions
/// of them ("renditions/") and an SQLite catalogue ("catalogue.sqlite"). Nothing is ever
/// removed from it: a deleted asset moves into "Recently Deleted" and keeps its file.
/// Thread-safe: one lock serialises the catalogue connection.
class PhotoLibrary {
public:
  struct Options {
    /// How long a catalogue access waits for another program's lock before failing.
    std::chrono::milliseconds busyTimeout{5000};
  };

  /// ~/.local/share/Lumora/PhotoLibrary, or the folder named by LUMORA_PHOTO_LIBRARY.
  [[nodiscard]] static std::filesystem::path defaultLocation();
  /// Opens the library in `location`, creating the folder and an empty catalogue when missing.
  [[nodiscard]] static Expected<std::shared_ptr<PhotoLibrary>, LibraryError>
  open(const std::filesystem::path &location, Options options);
  [[nodiscard]] static Expected<std::shared_ptr<PhotoLibrary>, LibraryError>
  open(const std::filesystem::path &location) {
    return open(location, Options{});
  }
  /// The library at `defaultLocation()`, opened once and shared; opened again when the
  /// location has changed or the last attempt failed.
  [[nodiscard]] static Expected<std::shared_ptr<PhotoLibrary>, LibraryError> shared();

  [[nodiscard]] const std::filesystem::path &location() const { return m_location; }

  /// Every still image outside "Recently Deleted", oldest creation date first; a missing
  /// creation date counts as 1970-01-01 and equal dates keep the order of adding.
  [[nodiscard]] Expected<std::vector<PhotoAsset>, LibraryError> fetchStillImages() const;
  /// The assets with these identifiers in the order asked, each once; unknown identifiers
  /// and assets in "Recently Deleted" are left out.
  [[nodiscard]] Expected<std::vector<PhotoAsset>, LibraryError>
  fetchAssets(const std::vector<std::string> &localIdentifiers) const;
  /// The stored files of an asset with the names they were added under.
  [[nodiscard]] static std::vector<AssetResource> resources(const PhotoAsset &asset);

  /// Copies a file into the library and records it. The copy is complete before the
  /// catalogue names it; when recording fails the copy is removed again.
  [[nodiscard]] Expected<PhotoAsset, LibraryError> addAsset(const NewAsset &asset);
  /// Applies the block in one catalogue transaction: all of it, or on any failure none of it.
  [[nodiscard]] Expected<void, LibraryError> performChanges(const ChangeBlock &block);

  PhotoLibrary(std::filesystem::path location, PhotoCatalogue catalogue)
      : m_location(std::move(location)), m_catalogue(std::move(catalogue)) {}

private:
  [[nodiscard]] PhotoAsset resolved(PhotoAsset asset) const;
  [[nodiscard]] Expected<std::vector<PhotoAsset>, LibraryError>
  resolved(Expected<std::vector<PhotoAsset>, LibraryError> assets) const;

  const std::filesystem::path m_location;
  mutable std::mutex m_mutex;
  mutable PhotoCatalogue m_catalogue;
};

} // namespace platform
