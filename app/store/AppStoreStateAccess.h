#pragma once

#include "app/store/AppStore.h"

namespace lumora {

/// The door through which tests and developer tools put a store into a state its actions
/// would reach only through real scans and clean-ups: any phase (failed ones included),
/// photos, groups, progress, the last result, the pause and clean-up flags. Each call is
/// the field's own setter, so it publishes exactly as the store's actions do. Application
/// code never uses it: there the actions own these fields.
class AppStore::StateAccess {
public:
  explicit StateAccess(AppStore &store) : m_store(store) {}

  void setPhase(Phase phase) { m_store.setPhase(std::move(phase)); }
  void setSourceKind(SourceKind kind) { m_store.setSourceKind(kind); }
  void setFolderURL(std::optional<QUrl> url) { m_store.setFolderURL(std::move(url)); }
  void setItems(std::vector<PhotoItem> items) { m_store.setItems(std::move(items)); }
  void setGroups(std::vector<PhotoGroup> groups) { m_store.setGroups(std::move(groups)); }
  void setProgress(std::optional<ScanProgress> progress) {
    m_store.setProgress(std::move(progress));
  }
  void setLastResult(std::optional<ScanResult> result) { m_store.setLastResult(std::move(result)); }
  void setIsRegrouping(bool regrouping) { m_store.setIsRegrouping(regrouping); }
  void setCleaningGroupID(std::optional<std::string> id) {
    m_store.setCleaningGroupID(std::move(id));
  }
  void setTrashedCount(std::int64_t count) { m_store.setTrashedCount(count); }
  void setIsPaused(bool paused) { m_store.setIsPaused(paused); }
  void setIsPauseRequested(bool requested) { m_store.setIsPauseRequested(requested); }
  void setExitingGroupIDs(std::unordered_set<std::string> ids) {
    m_store.setExitingGroupIDs(std::move(ids));
  }
  void setSmoothedETA(std::optional<double> eta) { m_store.setSmoothedETA(eta); }
  void setIsScrolling(bool scrolling) { m_store.setIsScrolling(scrolling); }
  void setIsCleaningSelection(bool cleaning) { m_store.setIsCleaningSelection(cleaning); }

private:
  AppStore &m_store;
};

} // namespace lumora
