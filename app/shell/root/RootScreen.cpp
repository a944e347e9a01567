#include "app/shell/root/RootScreen.h"

#include "app/store/AppStore.h"

namespace lumora::rootscreen {

ScreenKind screenKind(const AppStoreTypes::Phase &phase, bool isPaused, bool hasItems,
                      bool hasGroups) {
  using Kind = AppStoreTypes::Phase::Kind;
  switch (phase.kind) {
  case Kind::idle: return ScreenKind::idle;
  case Kind::scanning: return hasItems ? ScreenKind::liveResults : ScreenKind::scanning;
  case Kind::failed: return ScreenKind::failure;
  case Kind::ready: break;
  }
  if (isPaused) {
    return ScreenKind::liveResults;
  }
  if (!hasItems) {
    return ScreenKind::emptyResults;
  }
  return hasGroups ? ScreenKind::results : ScreenKind::noSimilarGroups;
}

ScreenChoice choose(const AppStore &store) {
  return {
      screenKind(store.phase(), store.isPaused(), !store.items().empty(), !store.groups().empty()),
      store.phaseToken()};
}

bool appearsGently(ScreenKind kind) {
  return kind != ScreenKind::liveResults && kind != ScreenKind::results;
}

std::optional<PhotoGroup> detailGroup(const AppStore &store) {
  const std::optional<std::string> &id = store.detailGroupID();
  return id ? store.group(*id) : std::nullopt;
}

} // namespace lumora::rootscreen
