#pragma once

#include <QString>
#include <string_view>

namespace lumora::logline {

/// What a log line says about one of the user's files: its name alone, never the folders
/// above it, since the log goes into every diagnostics export. A trailing slash is passed
/// over ("/a/b/" names "b"). A name that is not valid UTF-8 is written percent-encoded
/// (blanks kept), so no byte of it is lost or mangled.
[[nodiscard]] QString fileName(std::string_view path);

} // namespace lumora::logline
