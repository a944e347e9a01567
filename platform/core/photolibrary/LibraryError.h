#pragma once

#include <QString>

namespace platform {

/// A failure of the photo library, with a description fit for the user.
struct LibraryError {
  enum class Kind {
    /// The catalogue file is not a readable database; it is left exactly as found.
    corruptCatalogue,
    /// Another program held the catalogue's lock for longer than the busy time-out.
    busy,
    /// A change named an asset that is not in the library (or already in "Recently Deleted").
    notFound,
    /// Any other file or database failure.
    io,
  };

  Kind kind = Kind::io;
  /// What the failure concerns: the catalogue path, the asset identifier or the system's message.
  QString detail;

  /// A Chinese sentence naming the failure and, where it helps, its detail.
  [[nodiscard]] QString description() const;
  bool operator==(const LibraryError &) const = default;
};

} // namespace platform
