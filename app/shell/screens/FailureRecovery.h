#pragma once

#include "app/store/state/AppStoreTypes.h"

#include <vector>

/// What the failure screen shows for each kind of failure: its badge and its ways out.
/// Buttons are listed left to right; their position gives their style (prominent, bordered,
/// then link), as on every phase screen.
namespace lumora::failurerecovery {

/// The badge's colour.
enum class Tint { orange, pink, secondary };

/// What a recovery button does.
enum class Action {
  retry,
  chooseFolder,
  openLibrary,
  /// The privacy settings for files and folders.
  openFolderSettings,
  /// The privacy settings for the photo library.
  openLibrarySettings,
};

struct Badge {
  const char *symbol;
  Tint tint;
};

struct Button {
  /// The localization key, which is also the default text.
  const char *title;
  Action action;
};

[[nodiscard]] Badge badge(AppStoreTypes::Failure::Kind kind);
/// Two or three buttons, in their order on screen.
[[nodiscard]] std::vector<Button> buttons(AppStoreTypes::Failure::Kind kind);

} // namespace lumora::failurerecovery
