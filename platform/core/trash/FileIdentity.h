#pragma once

#include <cstdint>
#include <sys/stat.h>

namespace platform {

/// Which file a path named when it was looked at: its device, inode, size and modification
/// time. A file rewritten, or another file put under the same name, no longer matches.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  /// Modification time in seconds since 1970, as the scan keeps it (a double).
  double modified = 0;

  bool operator==(const FileIdentity &) const = default;

  /// The identity of the file `info` describes.
  [[nodiscard]] static FileIdentity of(const struct stat &info);
  /// True when `info` is a regular file with this device, inode and size and a modification
  /// time within a microsecond of this one (the double keeps about 0.2 µs).
  [[nodiscard]] bool matches(const struct stat &info) const;
};

} // namespace platform
