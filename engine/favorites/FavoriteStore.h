#pragma once

#include "engine/favorites/FavoriteSaveError.h"
#include "engine/util/Expected.h"
#include "platform/core/files/FileLock.h"

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace lumora {

/// The folder photos the user marked as favourites, kept across launches in "favorites.json":
/// one compact JSON array of the ids (file paths) in ascending order, slashes escaped as \/.
/// A value owned by the engine and used from one thread at a time. Another process may share
/// the file (a second copy of the application over the same data folder): a save takes the
/// file's lock, reads the file again and applies this store's own changes to what it holds,
/// so neither copy drops the other's favourites.
class FavoriteStore {
public:
  /// "favorites.json" in the application's data folder, which is created when missing.
  [[nodiscard]] static std::filesystem::path defaultURL();

  /// The set stored at `defaultURL`; empty when the file is missing or cannot be read (a
  /// FIFO, link or other non-regular file there is refused without blocking).
  [[nodiscard]] static FavoriteStore load();
  /// The set stored at `url`, which is also where `save` writes.
  [[nodiscard]] static FavoriteStore load(const std::filesystem::path &url);

  /// The ids of a file's contents, or nothing unless they are a JSON array of strings.
  [[nodiscard]] static std::optional<std::set<std::string>> decode(std::string_view json);
  /// The file's contents for `ids`. Ids that are not UTF-8 cannot be stored in JSON without
  /// being altered, so they are left out (and logged) rather than written as a different path.
  [[nodiscard]] static std::string encode(const std::set<std::string> &ids);

  [[nodiscard]] const std::set<std::string> &ids() const { return m_ids; }
  [[nodiscard]] const std::filesystem::path &url() const { return m_url; }
  [[nodiscard]] bool contains(const std::string &id) const { return m_ids.contains(id); }
  /// Adds `id`; false when it was there already.
  bool insert(const std::string &id);
  /// Removes `id`; false when it was not there.
  bool remove(const std::string &id);
  /// Marks or unmarks `id` and saves. When the save fails, `id` is as it was before, in
  /// the set and among the pending changes: the user's mark was not kept.
  [[nodiscard]] Expected<void, FavoriteSaveError> set(const std::string &id, bool favorite);

  /// Writes the set to `url` atomically, under the lock "<url>.lock": the file is read
  /// again and this store's changes since its last save are applied to it. A file that
  /// exists but cannot be read (a FIFO or a link in its place included) is first moved
  /// aside (kept under a ".damaged" name) rather than overwritten. A failed write is logged
  /// and leaves the old file in place; the changes stay pending and the next save tries
  /// again.
  [[nodiscard]] Expected<void, FavoriteSaveError> save();

private:
  /// Renames the unreadable file out of the way; false when it is still in place.
  [[nodiscard]] bool moveDamagedFileAside();
  /// The set to write: the file's set with the pending changes, or this store's own set
  /// when the file is missing or was moved aside; none when an unreadable file stays.
  [[nodiscard]] std::optional<std::set<std::string>> mergedWithFile();
  /// Takes the file's lock; the error says why it could not be taken.
  [[nodiscard]] Expected<platform::FileLock, FavoriteSaveError> lockFile() const;

  std::set<std::string> m_ids;
  std::filesystem::path m_url;
  /// Ids changed since the last save: true for added, false for removed.
  std::map<std::string, bool> m_changes;
};

} // namespace lumora
