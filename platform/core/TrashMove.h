#pragma once

#include <fcntl.h>
#include <string>

/// Moving one file without ever overwriting, within a volume or across volumes.
namespace platform::trashmove {

/// A name inside an open folder; `dirFd` AT_FDCWD with an absolute `name` works too.
struct Place {
  int dirFd = AT_FDCWD;
  std::string name;
};

/// The name prefix of an unfinished copy that has to live under a name of its own.
inline constexpr const char *kPartialPrefix = ".pindle-partial-";

/// Moves `from` to `to` only when `to` is free: a rename when both are on one volume; across
/// volumes a copy that keeps the file's mode and times, made without a name (or under a
/// locked ".pindle-partial-…" name inside `spareDirFd`) and linked to `to` only once complete,
/// so `to` never holds part of a file. The source goes only after the copy has its name; a
/// failed copy, or a source that cannot be removed, leaves nothing behind. Returns 0 or the errno
/// of the failure (EEXIST: `to` was taken).
[[nodiscard]] int moveNoReplace(const Place &from, const Place &to, int spareDirFd);

} // namespace platform::trashmove
