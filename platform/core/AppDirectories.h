#pragma once

#include <QString>

namespace platform {

/// The application's data folder "Lumora" under the XDG data home (~/.local/share/Lumora),
/// or under the temporary folder when no data location is available. Not created here.
[[nodiscard]] QString appSupportDirectory();

/// Creates the data folder when missing, private to the user (0700: the cache, favourites
/// and log there tell which photos the user has); the folders above it get the usual
/// modes. An existing folder is left as it is. True when the folder exists.
bool makeAppSupportDirectory();

} // namespace platform
