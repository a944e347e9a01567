#pragma once

#include <cstddef>
#include <string>

/// Names of entries in a Trash's "files" folder.
namespace platform::trashname {

/// The longest entry name: its info file, the name plus ".trashinfo", must still be a valid
/// file name of at most 255 bytes.
inline constexpr std::size_t kMaxEntryBytes = 255 - 10;

/// The name of the `attempt`-th try at a free entry for a file called `name`: the name
/// itself, then the name with ".1", ".2", … appended. A name too long for that keeps its
/// extension and as much of the rest as fits, marked "~N" so that each attempt differs; the
/// cut never splits a UTF-8 character, and bytes that are not UTF-8 are kept as they are.
/// The info file keeps the full original path, so nothing of the name is lost.
[[nodiscard]] std::string entryName(const std::string &name, int attempt);

} // namespace platform::trashname
