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
  /// Folder photos whose file was already gone: removed like the moved ones, with no
  /// receipt entry.
  std::vector<std::string> missingIDs;
  /// Folder photos left where they are because their path no longer names the file the scan
  /// saw (rewritten, replaced, or reached through a link since); the engine still knows them.
  std::vector<std::string> refusedIDs;
};

} // namespace lumora
