#pragma once

#include <QString>
#include <string>

/// The user-facing Chinese texts of the Trash: each names the file alone (never its folders)
/// and gives the reason in words, not the system's English error text.
namespace platform::trasherrors {

/// The reason for the system error `code`, e.g. "它所在的磁盘是只读的".
[[nodiscard]] QString reason(int code);
/// "无法把“name”移到废纸篓：reason。"
[[nodiscard]] QString moveFailed(const std::string &path, int code);
/// The move found no Trash folder it may use.
[[nodiscard]] QString noTrash(const std::string &path);
/// The file at `path` is not the one that was scanned, so it stays where it is.
[[nodiscard]] QString changed(const std::string &path);
/// "无法把“name”放回原处：reason。"
[[nodiscard]] QString restoreFailed(const std::string &originalPath, int code);
/// The folder the file left is gone or was replaced by another folder or a link.
[[nodiscard]] QString folderReplaced(const std::string &originalPath);

} // namespace platform::trasherrors
