#pragma once

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace lumora {

/// The folder photos the user marked as favourites, kept across launches in "favorites.json":
/// one compact JSON array of the ids (file paths) in ascending order, slashes escaped as \/.
/// A value owned by the engine and used from one thread at a time.
class FavoriteStore {
public:
  /// "favorites.json" in the application's data folder, which is created when missing.
  [[nodiscard]] static std::filesystem::path defaultURL();

  /// The set stored at `defaultURL`; empty when the file is missing or cannot be read.
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
  bool insert(const std::string &id) { return m_ids.insert(id).second; }
  /// Removes `id`; false when it was not there.
  bool remove(const std::string &id) { return m_ids.erase(id) > 0; }

  /// Writes the set to `url` atomically; failures are swallowed and the next save tries again.
  /// A file that existed but could not be read at loading is first moved aside (kept under a
  /// ".damaged" name) rather than overwritten.
  void save();

private:
  /// Renames the unreadable file out of the way; false when it is still in place.
  [[nodiscard]] bool moveDamagedFileAside();

  std::set<std::string> m_ids;
  std::filesystem::path m_url;
  bool m_damagedFileInPlace = false;
};

} // namespace lumora
