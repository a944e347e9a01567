// Multi-select of the results grid and its derived values, kept by `GroupSelection` over the
// groups on screen. The batch clean-up itself is with the other removals.
#include "app/store/AppStore.h"

namespace lumora {

void AppStore::enterSelectionMode() {
  if (m_phase.isScanning()) {
    return;
  }
  m_selection.enter(m_groups);
}

void AppStore::exitSelectionMode() { m_selection.exit(); }

void AppStore::toggleSelection(const PhotoGroup &group) { m_selection.toggle(group.id); }

void AppStore::groupTapped(const PhotoGroup &group, bool shift) {
  m_selection.tapped(m_groups, group.id, shift);
}

void AppStore::selectAllGroups() { m_selection.selectAll(m_groups); }

std::vector<PhotoGroup> AppStore::selectedGroups() const {
  return m_selection.selectedGroups(m_groups);
}

std::int64_t AppStore::selectedVictimCount() const {
  return m_selection.selectedVictimCount(m_groups);
}

std::int64_t AppStore::selectedReclaimableBytes() const {
  return m_selection.selectedReclaimableBytes(m_groups);
}

std::vector<std::string> AppStore::selectedVictimIDs() const {
  return m_selection.selectedVictimIDs(m_groups);
}

bool AppStore::canCleanupSelection() const {
  return m_selection.canCleanup(m_groups, m_cleaningGroupID.has_value());
}

} // namespace lumora
