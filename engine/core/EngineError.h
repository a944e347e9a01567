#pragma once

#include "engine/model/CuratorError.h"

#include <QString>

namespace lumora {

/// Any failure an engine operation reports to its caller: the engine's own error, a file
/// operation's error (Trash, restore), or a photo-library error.
struct EngineError {
  enum class Kind { curator, file, library };
  /// The library failures the store tells apart.
  enum class LibraryKind { denied, empty, other };

  Kind kind = Kind::file;
  CuratorError curator;
  LibraryKind library = LibraryKind::other;
  /// The description of a file or library error.
  QString message;

  static EngineError fromCurator(CuratorError error) {
    return {Kind::curator, std::move(error), {}, {}};
  }
  static EngineError file(QString why) { return {Kind::file, {}, {}, std::move(why)}; }
  static EngineError fromLibrary(LibraryKind which, QString why) {
    return {Kind::library, {}, which, std::move(why)};
  }

  /// The text shown to the user.
  [[nodiscard]] QString localizedDescription() const {
    return kind == Kind::curator ? curator.errorDescription() : message;
  }
  bool operator==(const EngineError &) const = default;
};

} // namespace lumora
