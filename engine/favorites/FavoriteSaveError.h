#pragma once

#include <QString>

namespace lumora {

/// Why the favourites file could not be written. The mark the user set is then not kept:
/// the caller tells the user why, by `kind`.
struct FavoriteSaveError {
  enum class Kind {
    /// No room left on the disk (or the user's quota or file-size limit is reached).
    diskFull,
    /// The data folder cannot be written: read-only, or no permission.
    readOnly,
    /// The favourites file's lock cannot be taken.
    locked,
    /// Any other failure to read, move aside or write the file.
    other,
  };

  Kind kind = Kind::other;
  /// What failed, in the diagnostics log's words (file, step, system error).
  QString detail;

  /// The kind that a failed file operation's errno stands for.
  [[nodiscard]] static Kind kindOfError(int error);

  bool operator==(const FavoriteSaveError &) const = default;
};

} // namespace lumora
