#pragma once

#include "app/shell/ScreenFactory.h"

namespace lumora {

/// The screen factory filled with the real screens of the view folders (results grid, group
/// detail, photo preview, info center): what the application and its tools build the window
/// content with.
[[nodiscard]] ScreenFactory applicationScreens();

} // namespace lumora
