#pragma once

#include "platform/core/trash/TrashPlace.h"

#include <optional>
#include <string>
#include <sys/stat.h>

/// Moving one file without ever overwriting, within a volume or across volumes, and only the
/// file that was looked at.
namespace platform::trashmove {

/// The private name a file takes in its own folder while it leaves: the prefix, this
/// process's id, `counter` and, when it fits, the name it leaves under (for a name that is
/// itself such a name, the name inside it), so that a clean-up after a kill knows where it
/// belongs.
[[nodiscard]] std::string leavingName(const std::string &name, unsigned counter);

/// What the name of a leftover of ours tells.
struct Leftover {
  /// The process that made it.
  long owner = 0;
  /// The name the file left under; empty when the name does not say.
  std::string name;
};

/// Reads a name made with `prefix` (`kLeavingPrefix` or `kPartialPrefix`); none for another
/// name.
[[nodiscard]] std::optional<Leftover> parseLeftover(const std::string &name, const char *prefix);

enum class Status {
  moved,
  /// `from` no longer names the file that was looked at (another file, nothing, or a file
  /// changed since): nothing moved and nothing is left at `to`.
  changed,
  /// Another file took the name during the move and could not be put back because the name
  /// was taken again: that file lies at `to`; the file looked at did not move.
  displaced,
  failed,
};

struct Result {
  Status status = Status::failed;
  /// The errno of a failure (EEXIST: `to` was taken); 0 otherwise.
  int code = 0;
};

/// Moves the file `seen` describes (its device, inode, size and modification time, as looked
/// at through `from`) to `to`, only when `to` is free. Within a volume a rename, checked after
/// the fact and undone when it took another file. Across volumes the file is opened once
/// (never through a link, never waiting on a FIFO or device; only a regular file), checked to
/// be `seen`, and copied from that descriptor with its mode and times, made without a name (or
/// under a locked ".pindle-partial-…" name inside `spareDirFd`) and linked to `to` only once
/// complete. The source name is then renamed aside and removed only when it still is that
/// file, unchanged: a file saved under the name meanwhile is put back whole and the copy goes.
[[nodiscard]] Result moveChecked(const Place &from, const Place &to, int spareDirFd,
                                 const struct stat &seen);

} // namespace platform::trashmove
