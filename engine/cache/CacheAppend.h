#pragma once

#include <filesystem>
#include <string>
#include <string_view>

/// Appending to the cache's log and tombstone files. Appends never report failure to the
/// cache's callers: a failed append loses only its own record, never the records around it.
namespace lumora::cacheappend {

/// Makes `log` ready for appending version-3 records: creates it with its 8-byte header when it
/// is missing. With `repair`, an existing log is checked first: one with a damaged header is
/// started afresh, a version-2 log is rewritten as version 3, and a cut-off last record is cut
/// away, so that records appended after it stay readable. False when the log cannot be used.
[[nodiscard]] bool prepareLog(const std::filesystem::path &log, bool repair);

/// Appends `bytes` at the end of an existing file; false on failure.
bool appendToFile(const std::filesystem::path &file, std::string_view bytes);

/// Appends `id` and a line feed to the tombstone file, creating it (and its folder) when
/// missing. A last line left without its line feed is closed first, so the id stays a line
/// of its own.
void appendTombstone(const std::filesystem::path &tombstones, const std::string &id);

} // namespace lumora::cacheappend
