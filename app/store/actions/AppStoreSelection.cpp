// Multi-select of the results grid: entering and leaving it, toggling, shift ranges from
// an anchor and select-all. The batch clean-up itself is with the other removals.
#include "app/store/AppStore.h"

#include <algorithm>

namespace lumora {

void AppStore::enterSelectionMode() {
  if (m_isSelecting || m_phase.isScanning() || m_groups.empty()) {
    return;
  }
  setIsSelecting(true);
  setSelectedGroupIDs({});
  // The anchor stays: it may serve the first shift-click of this round.
}

void AppStore::exitSelectionMode() {
  if (!m_isSelecting) {
    return;
  }
  setIsSelecting(false);
  setSelectedGroupIDs({});
  m_selectionAnchorID.reset();
}

void AppStore::toggleSelection(const PhotoGroup &group) {
  if (!m_isSelecting) {
    return;
  }
  std::unordered_set<std::string> selected = m_selectedGroupIDs;
  if (selected.erase(group.id) == 0) {
    selected.insert(group.id);
  }
  setSelectedGroupIDs(std::move(selected));
  m_selectionAnchorID = group.id;
}

void AppStore::groupTapped(const PhotoGroup &group, bool shift) {
  if (!m_isSelecting) {
    return;
  }
  if (shift && m_selectionAnchorID) {
    const auto positionOf = [this](const std::string &id) {
      return std::find_if(m_groups.begin(), m_groups.end(),
                          [&id](const PhotoGroup &candidate) { return candidate.id == id; });
    };
    const auto anchor = positionOf(*m_selectionAnchorID);
    const auto tapped = positionOf(group.id);
    if (anchor != m_groups.end() && tapped != m_groups.end()) {
      // The range is added, nothing leaves the selection, and the anchor stays put.
      std::unordered_set<std::string> selected = m_selectedGroupIDs;
      const auto [first, last] = std::minmax(anchor, tapped);
      for (auto it = first; it <= last; ++it) {
        selected.insert(it->id);
      }
      setSelectedGroupIDs(std::move(selected));
      return;
    }
  }
  toggleSelection(group);
}

void AppStore::selectAllGroups() {
  if (!m_isSelecting) {
    return;
  }
  std::unordered_set<std::string> all;
  for (const PhotoGroup &shown : m_groups) {
    all.insert(shown.id);
  }
  setSelectedGroupIDs(std::move(all));
  m_selectionAnchorID =
      m_groups.empty() ? std::nullopt : std::optional<std::string>(m_groups.back().id);
}

} // namespace lumora
