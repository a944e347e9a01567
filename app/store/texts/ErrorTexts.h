#pragma once

#include "engine/core/EngineError.h"

#include <QString>

/// The words the user reads for an engine error: a Trash move or restore that failed names
/// the file alone (never its folders) and gives the reason in words, not the system's English
/// error text; a favourites file that was not written says why.
namespace lumora::texts {

/// The text shown to the user for `error`.
[[nodiscard]] QString errorText(const EngineError &error);

/// The reason for the system error `code`, e.g. "它所在的磁盘是只读的".
[[nodiscard]] QString systemReason(int code);

} // namespace lumora::texts
