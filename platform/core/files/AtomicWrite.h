#pragma once

#include "platform/core/Expected.h"

#include <QString>
#include <filesystem>
#include <functional>
#include <string_view>

/// Replaces a small file in one step, so a reader (or a crash) sees the old contents or the
/// new ones and never a part. A scratch file is made beside the target, private to the user
/// (0600); every write, the flush to disk and the close are checked, and only then is the
/// scratch file renamed over the target. A failure at any step (a full disk, a write
/// limit) leaves the old file as it was and removes the scratch file. The rename replaces
/// a symbolic link at the target itself, never the file it points to.
namespace platform::atomicwrite {

/// Writes `bytes` as the new contents of `path`; the error names the step that failed.
[[nodiscard]] Expected<void, QString> replace(const std::filesystem::path &path,
                                              std::string_view bytes);

/// `replace`, with the new contents written by `fill` into the scratch file's descriptor
/// (for contents too large to hold in memory, such as a copied photo). `fill` returns false,
/// with errno saying why, when it could not write them all.
[[nodiscard]] Expected<void, QString> replaceWith(const std::filesystem::path &path,
                                                  const std::function<bool(int fd)> &fill);

/// Makes `path` holding `bytes` in one step, only when nothing is there: an entry that
/// exists, or that another writer makes meanwhile, is left alone and the error says so
/// (with errno EEXIST).
[[nodiscard]] Expected<void, QString> create(const std::filesystem::path &path,
                                             std::string_view bytes);

/// `replace`, in a folder others can write to (/tmp): refused when `path` is a symbolic
/// link, not a regular file, or owned by another user, so nothing planted there is
/// followed, written through or taken over. The error says why.
[[nodiscard]] Expected<void, QString> replaceOwnFile(const std::filesystem::path &path,
                                                     std::string_view bytes);

} // namespace platform::atomicwrite
