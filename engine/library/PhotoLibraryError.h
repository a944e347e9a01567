#pragma once

#include "platform/core/photolibrary/LibraryError.h"

#include <QString>
#include <cstddef>

namespace lumora {

/// The error of the photo-library path: no access, an empty library, or a failure of the
/// library itself, passed on unchanged.
struct PhotoLibraryError {
  enum class Kind {
    /// Access was not granted; the description is `PhotoLibraryAccess::denialHint()`.
    denied,
    /// The library holds no still image to analyse.
    empty,
    /// The library failed (catalogue damaged or locked, a change block refused, …);
    /// `cause` says how.
    libraryFailure,
  };

  Kind kind = Kind::denied;
  platform::LibraryError cause;

  [[nodiscard]] static PhotoLibraryError denied() { return {Kind::denied, {}}; }
  [[nodiscard]] static PhotoLibraryError empty() { return {Kind::empty, {}}; }
  [[nodiscard]] static PhotoLibraryError failure(platform::LibraryError cause) {
    return {Kind::libraryFailure, std::move(cause)};
  }

  /// The user-facing description, returned verbatim (not looked up for translation).
  [[nodiscard]] QString errorDescription() const;
  bool operator==(const PhotoLibraryError &) const = default;
};

/// Hashes the kind and the cause, consistent with equality.
struct PhotoLibraryErrorHash {
  std::size_t operator()(const PhotoLibraryError &error) const;
};

} // namespace lumora
