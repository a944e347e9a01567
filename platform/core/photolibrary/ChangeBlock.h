#pragma once

#include <string>
#include <vector>

namespace platform {

/// Changes to library assets that are applied together or not at all
/// (`PhotoLibrary::performChanges`).
class ChangeBlock {
public:
  struct Change {
    enum class Kind { setFavorite, moveToRecentlyDeleted };
    Kind kind = Kind::setFavorite;
    std::string localIdentifier;
    bool favorite = false;
    bool operator==(const Change &) const = default;
  };

  void setFavorite(const std::string &localIdentifier, bool favorite) {
    m_changes.push_back({Change::Kind::setFavorite, localIdentifier, favorite});
  }
  /// Moves the asset into "Recently Deleted"; its file stays in the library.
  void deleteAsset(const std::string &localIdentifier) {
    m_changes.push_back({Change::Kind::moveToRecentlyDeleted, localIdentifier, false});
  }

  [[nodiscard]] const std::vector<Change> &changes() const { return m_changes; }
  [[nodiscard]] bool isEmpty() const { return m_changes.empty(); }

private:
  std::vector<Change> m_changes;
};

} // namespace platform
