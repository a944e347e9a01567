#pragma once

#include "engine/cache/CacheFiles.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

/// Records which analyzer wrote the vectors of one analysis cache, in a small file beside the
/// cache files (the base's name + ".analyzer", one line of text). The cache files themselves
/// keep their format; when the analyzer changes (new weights, same vector length), vectors it
/// wrote before would still load as hits and be measured against new ones, so they are
/// dropped instead.
namespace lumora::analyzerstamp {

/// The stamp file of the cache whose files are `files`.
[[nodiscard]] std::filesystem::path pathFor(const CacheFiles &files);

/// The revision the stamp names, or nothing when it is missing or unreadable.
[[nodiscard]] std::optional<std::string> read(const CacheFiles &files);

/// Makes the cache files belong to `revision`: when the stamp names another revision, or is
/// missing while cache files exist, the base, log and tombstones are removed and a log line
/// says why; then the stamp is written. Returns whether cached vectors were dropped. Never
/// throws; a stamp that cannot be written is logged and tried again on the next load.
bool dropIfStale(const CacheFiles &files, std::string_view revision);

/// Writes the stamp naming `revision`, replacing the file in one step; a failure is logged.
void write(const CacheFiles &files, std::string_view revision);

} // namespace lumora::analyzerstamp
