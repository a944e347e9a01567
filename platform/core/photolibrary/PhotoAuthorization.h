#pragma once

#include "platform/core/Expected.h"
#include "platform/core/photolibrary/AuthorizationStatus.h"
#include "platform/core/photolibrary/LibraryError.h"

#include <filesystem>

/// The application's recorded permission for a photo library, kept in the file
/// "authorization" of the library folder (apart from the catalogue, so that a damaged
/// catalogue does not lose it). Linux shows no permission prompt: a request while the
/// status is not determined grants full access.
namespace platform::photoauthorization {

/// The recorded status; not determined when nothing (or nothing readable) is recorded.
[[nodiscard]] AuthorizationStatus currentStatus(const std::filesystem::path &libraryLocation);
/// Grants full access when the status is not determined, then returns the status.
[[nodiscard]] AuthorizationStatus request(const std::filesystem::path &libraryLocation);
/// Records `status`, replacing the file atomically.
[[nodiscard]] Expected<void, LibraryError> setStatus(const std::filesystem::path &libraryLocation,
                                                     AuthorizationStatus status);

} // namespace platform::photoauthorization
