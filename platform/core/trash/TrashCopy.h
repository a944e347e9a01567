#pragma once

#include "platform/core/trash/TrashPlace.h"

#include <sys/stat.h>

/// Copying one open file to a name on another volume so that the name never holds part of it.
namespace platform::trashcopy {

/// Copies the regular file open as `in` (described by `info`) to `to`, keeping its mode and
/// its access and modification times: made without a name (or under a locked
/// ".pindle-partial-…" name inside `spareDirFd`) and given the name `to` only once complete
/// and flushed, never over a file. A failed copy leaves nothing behind. Returns 0 or the errno
/// of the failure (EEXIST: `to` was taken).
[[nodiscard]] int copyNoReplace(int in, const struct stat &info, const trashmove::Place &to,
                                int spareDirFd);

} // namespace platform::trashcopy
