#pragma once

#include "platform/core/trash/TrashDirectory.h"

#include <chrono>

/// Clearing what moves into and out of a Trash left behind when they were killed.
namespace platform::trashorphans {

/// How old a leftover must be before it is removed: a move by another program that does not
/// lock its entry is long done by then.
inline constexpr std::chrono::seconds kMinimumAge{10};

/// Removes, from `trash`, `.trashinfo` entries whose file is missing from "files" and
/// unfinished ".pindle-partial-…" copies, when they are older than `kMinimumAge` and no live
/// move holds their lock. An entry whose file exists is never touched. Errors are ignored.
void removeLeftovers(const TrashDirectory &trash);

/// `removeLeftovers` at most once a minute per Trash folder in this process.
void removeLeftoversOccasionally(const TrashDirectory &trash);

} // namespace platform::trashorphans
