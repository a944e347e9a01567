#pragma once

#include "platform/core/posix/UniqueFd.h"

#include <filesystem>

/// Opening the cache's log for appending, checked against its record format (the appending
/// itself is `CacheFileAppend`'s).
namespace lumora::cacheappend {

/// Opens `log` for appending version-3 records, creating it with its 8-byte header when it is
/// missing. With `repair`, an existing log is checked first: one with a damaged header is
/// started afresh, a version-2 log is rewritten as version 3, and a cut-off last record is cut
/// away, so that records appended after it stay readable. Something planted under the log's
/// name (a FIFO, a link) is never written through: it is logged and replaced by a new log.
/// Holds none when the log cannot be used (errno says why).
[[nodiscard]] platform::UniqueFd openLog(const std::filesystem::path &log, bool repair);

} // namespace lumora::cacheappend
