#pragma once

#include "platform/core/trash/TrashDirectory.h"

#include <chrono>
#include <string>
#include <vector>

/// Clearing what moves into and out of a Trash left behind when they were killed.
namespace platform::trashorphans {

/// How old a leftover must be before it is removed: a move by another program that does not
/// lock its entry is long done by then.
inline constexpr std::chrono::seconds kMinimumAge{10};

/// The names in the open folder `dirFd`, "." and ".." among them.
[[nodiscard]] std::vector<std::string> namesIn(int dirFd);

/// True for a regular file open as `fd` that is old enough, or whose process has ended
/// (`ownerGone`), whose lock no live move holds (the lock is taken here and goes with `fd`),
/// and that still is what `name` names in `dirFd`.
[[nodiscard]] bool isAbandoned(int dirFd, const std::string &name, int fd, bool ownerGone);

/// True when the process `owner` that made a leftover has ended (never for this process).
[[nodiscard]] bool isGone(long owner);

/// Removes, from `trash`, `.trashinfo` entries whose file is missing from "files" and
/// unfinished ".pindle-partial-…" copies, when they are older than `kMinimumAge` (a copy: or
/// its process has ended) and no live move holds their lock. An entry whose file exists, or
/// lies in "files" under the leaving name of an interrupted restore, is never touched.
/// Errors are ignored.
void removeLeftovers(const TrashDirectory &trash);

/// `removeLeftovers` at most once a minute per Trash folder in this process.
void removeLeftoversOccasionally(const TrashDirectory &trash);

} // namespace platform::trashorphans
