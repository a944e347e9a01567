#pragma once

#include "platform/core/Expected.h"
#include "platform/core/photolibrary/ChangeBlock.h"
#include "platform/core/photolibrary/LibraryError.h"
#include "platform/core/photolibrary/PhotoAsset.h"
#include "platform/core/photolibrary/SqliteDatabase.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace platform {

/// The SQLite catalogue of a photo library: one row per asset. Paths in the rows it returns
/// are relative to the library folder. Not thread-safe: `PhotoLibrary` serialises its use.
class SqliteStatement;

class PhotoCatalogue {
public:
  /// Opens the catalogue file, creating an empty catalogue when the file does not exist.
  /// A file that is not a catalogue is reported as corrupt and left untouched.
  [[nodiscard]] static Expected<PhotoCatalogue, LibraryError>
  open(const std::filesystem::path &file, std::chrono::milliseconds busyTimeout);

  /// Still images outside "Recently Deleted", oldest creation date first (a missing date
  /// counts as 1970-01-01); equal dates keep the order in which the assets were added.
  [[nodiscard]] Expected<std::vector<PhotoAsset>, LibraryError> stillImages();
  /// The assets with these identifiers, in the order asked, each once; identifiers that are
  /// unknown or in "Recently Deleted" are left out.
  [[nodiscard]] Expected<std::vector<PhotoAsset>, LibraryError>
  assets(const std::vector<std::string> &localIdentifiers);
  [[nodiscard]] Expected<void, LibraryError> insert(const PhotoAsset &asset);
  /// Applies every change in one transaction; the first failure rolls all of them back.
  [[nodiscard]] Expected<void, LibraryError> apply(const ChangeBlock &block, double now);

private:
  PhotoCatalogue(SqliteDatabase db, std::filesystem::path file)
      : m_db(std::move(db)), m_file(std::move(file)) {}

  [[nodiscard]] Expected<void, LibraryError> prepareSchema();
  /// Runs one prepared change (its value already bound) for one asset.
  [[nodiscard]] Expected<void, LibraryError> applyOne(SqliteStatement &statement,
                                                      const std::string &localIdentifier);
  [[nodiscard]] LibraryError failure(const SqliteError &error) const;
  [[nodiscard]] LibraryError lastFailure() const { return failure(m_db.lastError()); }

  SqliteDatabase m_db;
  std::filesystem::path m_file;
};

} // namespace platform
