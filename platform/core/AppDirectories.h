#pragma once

#include <QString>

namespace platform {

/// The application's data folder "Lumora" under the XDG data home (~/.local/share/Lumora),
/// or under the temporary folder when no data location is available. Not created here.
[[nodiscard]] QString appSupportDirectory();

} // namespace platform
