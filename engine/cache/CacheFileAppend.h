#pragma once

#include "platform/core/posix/UniqueFd.h"

#include <filesystem>
#include <string>
#include <string_view>

/// Appending to the cache's append-only files, whatever their records: the log's format is
/// `CacheAppend`'s. Appends never report failure to the cache's callers: a failed append
/// loses only its own record, never the records around it.
namespace lumora::cacheappend {

/// Opens `file` for appending, making it (and its folder) with `initial` when missing; an
/// entry planted in its place (a FIFO, a link) is logged and replaced by such a new file.
/// Holds none on failure (errno says why).
[[nodiscard]] platform::UniqueFd openForAppend(const std::filesystem::path &file,
                                               std::string_view initial);

/// Appends `bytes` to the open file and closes it; false on failure.
bool appendAll(platform::UniqueFd fd, std::string_view bytes);

/// Appends `id` and a line feed to the tombstone file, creating it (and its folder) when
/// missing, or in place of something planted under its name. A last line left without its line feed
/// is closed first, so the id stays a line of its own.
void appendTombstone(const std::filesystem::path &tombstones, const std::string &id);

} // namespace lumora::cacheappend
