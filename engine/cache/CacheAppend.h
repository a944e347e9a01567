#pragma once

#include "platform/core/posix/UniqueFd.h"

#include <filesystem>
#include <string>
#include <string_view>

/// Appending to the cache's log and tombstone files. Appends never report failure to the
/// cache's callers: a failed append loses only its own record, never the records around it.
namespace lumora::cacheappend {

/// Opens `log` for appending version-3 records, creating it with its 8-byte header when it is
/// missing. With `repair`, an existing log is checked first: one with a damaged header is
/// started afresh, a version-2 log is rewritten as version 3, and a cut-off last record is cut
/// away, so that records appended after it stay readable. Something planted under the log's
/// name (a FIFO, a link) is never written through: it is logged and replaced by a new log.
/// Holds none when the log cannot be used (errno says why).
[[nodiscard]] platform::UniqueFd openLog(const std::filesystem::path &log, bool repair);

/// Appends `bytes` to the open file and closes it; false on failure.
bool appendAll(platform::UniqueFd fd, std::string_view bytes);

/// Appends `id` and a line feed to the tombstone file, creating it (and its folder) when
/// missing, or in place of something planted under its name. A last line left without its line feed
/// is closed first, so the id stays a line of its own.
void appendTombstone(const std::filesystem::path &tombstones, const std::string &id);

} // namespace lumora::cacheappend
