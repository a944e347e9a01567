// Regrouping: the debounced regroup of threshold, sort and live results, the immediate
// refresh, and the one step every group list passes through.
#include "app/store/AppStore.h"
#include "app/store/services/UserDefaults.h"

#include <algorithm>

namespace lumora {

GroupSort AppStore::storedSort() {
  const QString raw = userdefaults::open().value(userdefaults::key(kGroupSortKey)).toString();
  return raw == QStringLiteral("memberCount") ? GroupSort::memberCount : GroupSort::date;
}

void AppStore::scheduleRegroup() {
  const std::int64_t generation = ++m_regroupGeneration;
  m_pendingRegroup = RegroupRequest{generation, m_items, m_threshold};
  m_regroupTimer.stop();
  setIsRegrouping(true);
  m_regroupTimer.start();
}

void AppStore::runScheduledRegroup() {
  if (!m_pendingRegroup) {
    return;
  }
  RegroupRequest request = std::move(*m_pendingRegroup);
  m_pendingRegroup.reset();
  std::shared_ptr<EngineClient> engine = m_engine;
  const GroupSort sort = m_sort; // the sort of now, not of when it was scheduled
  m_relay.runInOrder([engine, items = std::move(request.items), threshold = request.threshold,
                      sort] { return engine->group(items, threshold, sort); },
                     [this, generation = request.generation](std::vector<PhotoGroup> groups) {
                       if (generation != m_regroupGeneration) {
                         return; // superseded while it was computed
                       }
                       applyGroups(std::move(groups));
                       setIsRegrouping(false);
                     });
}

void AppStore::cancelRegroup() {
  m_regroupTimer.stop();
  m_pendingRegroup.reset();
}

void AppStore::refreshGroups(std::int64_t generation, std::function<void()> then) {
  cancelRegroup();
  ++m_regroupGeneration;
  std::shared_ptr<EngineClient> engine = m_engine;
  m_relay.runInOrder([engine, items = m_items, threshold = m_threshold,
                      sort = m_sort] { return engine->group(items, threshold, sort); },
                     [this, generation, then](std::vector<PhotoGroup> groups) {
                       if (generation == m_scanGeneration) {
                         applyGroups(std::move(groups));
                       }
                       if (then) {
                         then();
                       }
                     });
}

void AppStore::applyGroups(std::vector<PhotoGroup> list) {
  std::erase_if(list, [](const PhotoGroup &group) { return group.count() <= 1; });
  setGroups(std::move(list));
  setIsRegrouping(false);
  m_selection.retainShown(m_groups);
}

} // namespace lumora
