#pragma once

#include "engine/core/EngineError.h"
#include "engine/model/DeleteReceipt.h"

#include <optional>

namespace lumora {

/// The result of a deletion: what was moved, and the error that stopped it part-way.
/// Everything in `receipt` really moved and is recorded, also when `error` is set.
struct DeleteOutcome {
  DeleteReceipt receipt;
  std::optional<EngineError> error;
};

} // namespace lumora
