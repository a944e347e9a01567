#include "app/store/state/GroupSelection.h"

#include "engine/model/PhotoGroup.h"
#include "engine/util/Numeric.h"

#include <algorithm>

namespace lumora {
namespace {

using Groups = GroupSelection::Groups;

Groups::const_iterator positionOf(const Groups &groups, const std::string &id) {
  return std::find_if(groups.begin(), groups.end(),
                      [&id](const PhotoGroup &candidate) { return candidate.id == id; });
}

} // namespace

template <typename T>
void GroupSelection::assign(T &field, T value, void (GroupSelection::*changed)()) {
  if (field == value) {
    return;
  }
  field = std::move(value);
  emit(this->*changed)();
}

void GroupSelection::setIsSelecting(bool selecting) {
  assign(m_isSelecting, selecting, &GroupSelection::isSelectingChanged);
}
void GroupSelection::setSelectedGroupIDs(IdSet ids) {
  assign(m_selectedGroupIDs, std::move(ids), &GroupSelection::selectedGroupIDsChanged);
}
void GroupSelection::setFocusedGroupID(std::optional<std::string> id) {
  assign(m_focusedGroupID, std::move(id), &GroupSelection::focusedGroupIDChanged);
}
void GroupSelection::setFocusedPhotoID(std::optional<std::string> id) {
  assign(m_focusedPhotoID, std::move(id), &GroupSelection::focusedPhotoIDChanged);
}
void GroupSelection::setIsBatchConfirmPresented(bool presented) {
  assign(m_isBatchConfirmPresented, presented, &GroupSelection::isBatchConfirmPresentedChanged);
}
void GroupSelection::setIsCleaning(bool cleaning) {
  assign(m_isCleaning, cleaning, &GroupSelection::isCleaningChanged);
}

void GroupSelection::enter(const Groups &groups) {
  if (m_isSelecting || groups.empty()) {
    return;
  }
  setIsSelecting(true);
  setSelectedGroupIDs({});
}

void GroupSelection::exit() {
  if (!m_isSelecting) {
    return;
  }
  setIsSelecting(false);
  setSelectedGroupIDs({});
  m_anchorID.reset();
}

void GroupSelection::toggle(const std::string &groupID) {
  if (!m_isSelecting) {
    return;
  }
  IdSet selected = m_selectedGroupIDs;
  if (selected.erase(groupID) == 0) {
    selected.insert(groupID);
  }
  setSelectedGroupIDs(std::move(selected));
  m_anchorID = groupID;
}

void GroupSelection::tapped(const Groups &groups, const std::string &groupID, bool shift) {
  if (!m_isSelecting) {
    return;
  }
  if (shift && m_anchorID) {
    const auto anchor = positionOf(groups, *m_anchorID);
    const auto tapped = positionOf(groups, groupID);
    if (anchor != groups.end() && tapped != groups.end()) {
      // The range is added, nothing leaves the selection, and the anchor stays put.
      IdSet selected = m_selectedGroupIDs;
      const auto [first, last] = std::minmax(anchor, tapped);
      for (auto it = first; it <= last; ++it) {
        selected.insert(it->id);
      }
      setSelectedGroupIDs(std::move(selected));
      return;
    }
  }
  toggle(groupID);
}

void GroupSelection::selectAll(const Groups &groups) {
  if (!m_isSelecting) {
    return;
  }
  IdSet all;
  for (const PhotoGroup &shown : groups) {
    all.insert(shown.id);
  }
  setSelectedGroupIDs(std::move(all));
  m_anchorID = groups.empty() ? std::nullopt : std::optional<std::string>(groups.back().id);
}

void GroupSelection::retainShown(const Groups &groups) {
  if (!m_selectedGroupIDs.empty()) {
    IdSet kept;
    for (const PhotoGroup &group : groups) {
      if (m_selectedGroupIDs.contains(group.id)) {
        kept.insert(group.id);
      }
    }
    setSelectedGroupIDs(std::move(kept));
  }
  if (m_isSelecting && groups.empty()) {
    setIsSelecting(false);
    setSelectedGroupIDs({});
  }
}

std::optional<std::string> GroupSelection::focusReplacing(const Groups &before,
                                                          const Groups &after) const {
  if (!m_focusedGroupID || after.empty() || positionOf(after, *m_focusedGroupID) != after.end()) {
    return std::nullopt;
  }
  const auto was = positionOf(before, *m_focusedGroupID);
  if (was == before.end()) {
    return std::nullopt;
  }
  const auto index =
      std::min(static_cast<std::size_t>(std::distance(before.begin(), was)), after.size() - 1);
  return after[index].id;
}

void GroupSelection::focusFirst(const Groups &groups) {
  setFocusedGroupID(groups.empty() ? std::nullopt : std::optional(groups.front().id));
}

void GroupSelection::focusLast(const Groups &groups) {
  setFocusedGroupID(groups.empty() ? std::nullopt : std::optional(groups.back().id));
}

std::int64_t GroupSelection::focusedIndex(const Groups &groups) const {
  if (!m_focusedGroupID) {
    return 0;
  }
  const auto found = positionOf(groups, *m_focusedGroupID);
  return found == groups.end() ? 0 : std::distance(groups.begin(), found);
}

void GroupSelection::focusPage(const Groups &groups, int columns, int rows) {
  if (groups.empty()) {
    return;
  }
  // A row count of 0 moves nothing: paging is by whole rows, never by a default of one.
  const auto last = static_cast<std::int64_t>(groups.size()) - 1;
  const std::int64_t step = std::int64_t{rows} * std::max(columns, 1);
  const std::int64_t target = std::clamp<std::int64_t>(focusedIndex(groups) + step, 0, last);
  setFocusedGroupID(groups[static_cast<std::size_t>(target)].id);
}

void GroupSelection::focusStep(const Groups &groups, int rowDelta, int columnDelta, int columns) {
  if (groups.empty()) {
    return;
  }
  const std::int64_t target =
      focusedIndex(groups) + std::int64_t{rowDelta} * std::max(columns, 1) + columnDelta;
  if (target < 0 || target >= static_cast<std::int64_t>(groups.size())) {
    return;
  }
  setFocusedGroupID(groups[static_cast<std::size_t>(target)].id);
}

Groups GroupSelection::selectedGroups(const Groups &groups) const {
  Groups selected;
  std::copy_if(groups.begin(), groups.end(), std::back_inserter(selected),
               [this](const PhotoGroup &group) { return m_selectedGroupIDs.contains(group.id); });
  return selected;
}

std::int64_t GroupSelection::selectedVictimCount(const Groups &groups) const {
  // Summed in place: the bar reads this on every selection change, over every group.
  std::int64_t total = 0;
  for (const PhotoGroup &group : groups) {
    if (m_selectedGroupIDs.contains(group.id)) {
      total += std::max<std::int64_t>(group.count() - 1, 0);
    }
  }
  return total;
}

std::int64_t GroupSelection::selectedReclaimableBytes(const Groups &groups) const {
  std::int64_t total = 0;
  for (const PhotoGroup &group : groups) {
    if (m_selectedGroupIDs.contains(group.id)) {
      total = numeric::addBytes(total, group.reclaimableBytes());
    }
  }
  return total;
}

std::vector<PhotoItem> GroupSelection::selectedVictims(const Groups &groups) const {
  std::vector<PhotoItem> found;
  IdSet seen;
  for (const PhotoGroup &group : groups) {
    if (!m_selectedGroupIDs.contains(group.id) || group.count() <= 1) {
      continue;
    }
    for (auto item = group.items.begin() + 1; item != group.items.end(); ++item) {
      if (seen.insert(item->id).second) {
        found.push_back(*item);
      }
    }
  }
  return found;
}

std::vector<std::string> GroupSelection::selectedVictimIDs(const Groups &groups) const {
  std::vector<std::string> ids;
  for (const PhotoItem &item : selectedVictims(groups)) {
    ids.push_back(item.id);
  }
  return ids;
}

bool GroupSelection::canCleanup(const Groups &groups, bool groupCleanupRunning) const {
  return m_isSelecting && !m_isCleaning && !groupCleanupRunning && selectedVictimCount(groups) > 0;
}

} // namespace lumora
