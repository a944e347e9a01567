#pragma once

#include "engine/favorites/FavoriteSaveError.h"
#include "engine/model/CuratorError.h"
#include "platform/core/trash/Trash.h"

#include <QString>
#include <string>

namespace lumora {

/// Any failure an engine operation reports to its caller: the engine's own error, a file
/// operation's error, a Trash move or restore that failed, a favourites file that could not be
/// written, or a photo-library error. The store words the Trash and favourites failures.
struct EngineError {
  enum class Kind { curator, file, library, trash, favorites };
  /// The library failures the store tells apart.
  enum class LibraryKind { denied, empty, other };

  Kind kind = Kind::file;
  CuratorError curator;
  LibraryKind library = LibraryKind::other;
  /// The description of a file or library error.
  QString message;
  /// For `trash`: a restore (else a move into the Trash) of the file at `path` failed.
  bool restoring = false;
  platform::trash::Problem trash;
  std::string path;
  /// For `favorites`: why the favourites file was not written.
  FavoriteSaveError::Kind favorites = FavoriteSaveError::Kind::other;

  static EngineError fromCurator(CuratorError error) {
    return {Kind::curator, std::move(error), {}, {}};
  }
  static EngineError file(QString why) { return {Kind::file, {}, {}, std::move(why)}; }
  static EngineError fromLibrary(LibraryKind which, QString why) {
    return {Kind::library, {}, which, std::move(why)};
  }
  static EngineError trashFailure(bool restoring, platform::trash::Problem problem,
                                  std::string path) {
    return {Kind::trash, {}, {}, {}, restoring, problem, std::move(path)};
  }
  static EngineError favoriteSave(FavoriteSaveError::Kind why) {
    EngineError error{Kind::favorites, {}, {}, {}};
    error.favorites = why;
    return error;
  }

  /// What failed, for the diagnostics log (not for the user).
  [[nodiscard]] QString logText() const;
  bool operator==(const EngineError &) const = default;
};

} // namespace lumora
