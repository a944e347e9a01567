#pragma once

#include "engine/core/EngineError.h"
#include "engine/model/DeleteReceipt.h"

#include <optional>
#include <string>
#include <vector>

namespace lumora {

/// The result of a deletion: what was moved, and the error that stopped it part-way.
/// Everything in `receipt` really moved and is recorded, also when `error` is set.
struct DeleteOutcome {
  DeleteReceipt receipt;
  std::optional<EngineError> error;
  /// Every photo the deletion removed, in the order they went: moved to the Trash or the
  /// library's "Recently Deleted", or already gone. The engine has forgotten them; every other
  /// photo it was given it still knows.
  std::vector<std::string> removedIDs;
  /// Folder photos whose file was already gone: removed like the moved ones, with no
  /// receipt entry.
  std::vector<std::string> missingIDs;
  /// Folder photos left where they are because their path no longer names the file the scan
  /// saw (rewritten, replaced, or reached through a link since); the engine still knows them.
  std::vector<std::string> refusedIDs;
  /// Folder photos left where they are because another file took their name during the move
  /// and could not be put back: that file is in the Trash and in `receipt` under the photo's
  /// path, so that undo brings it back; the engine still knows the photos.
  std::vector<std::string> displacedIDs;
};

} // namespace lumora
