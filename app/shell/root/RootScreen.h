#pragma once

#include "app/store/state/AppStoreTypes.h"
#include "engine/model/PhotoGroup.h"

#include <QString>
#include <optional>

namespace lumora {
class AppStore;
}

/// Which screen the window shows below its bars, decided from the store's state alone.
namespace lumora::rootscreen {

/// The screen of the store's phase.
enum class ScreenKind {
  idle,
  scanning,
  liveResults,
  failure,
  emptyResults,
  noSimilarGroups,
  results
};

/// The screen to show and the token that says when it must be replaced: a screen whose
/// token stays the same updates in place.
struct ScreenChoice {
  ScreenKind kind = ScreenKind::idle;
  QString token;
  bool operator==(const ScreenChoice &) const = default;
};

/// The screen of a phase. Idle, scanning (the live results once photos arrive) and failed
/// map directly; a ready phase is tested in this order: paused shows the live results even
/// without photos, then no photos, then no groups, then the results.
[[nodiscard]] ScreenKind screenKind(const AppStoreTypes::Phase &phase, bool isPaused, bool hasItems,
                                    bool hasGroups);
/// `screenKind` of the store's state, with its phase token.
[[nodiscard]] ScreenChoice choose(const AppStore &store);
/// The static screens fade and scale in gently; the grids only fade.
[[nodiscard]] bool appearsGently(ScreenKind kind);
/// The group the detail slot shows: the one `detailGroupID` names, when the store has it.
[[nodiscard]] std::optional<PhotoGroup> detailGroup(const AppStore &store);

} // namespace lumora::rootscreen
