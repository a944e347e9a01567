#pragma once

#include "engine/model/Date.h"

#include <cstdint>
#include <optional>
#include <string>

namespace lumora {

/// What the engine needs to know about a file without opening it.
struct FileStat {
  /// Size in bytes.
  std::int64_t size = 0;
  /// Content modification time, to the nanosecond the file system keeps.
  Date modified;
  bool isRegularFile = false;
  bool isDirectory = false;
  /// Identity of the file on its file system.
  std::uint64_t device = 0;
  std::uint64_t inode = 0;

  bool operator==(const FileStat &) const = default;

  /// Reads the status of `path` (native bytes), following symbolic links; absent when the
  /// path cannot be examined (missing, no permission, name too long).
  [[nodiscard]] static std::optional<FileStat> read(const std::string &path);
  /// The status of the entry `name` of the open directory `directoryFd` itself: a symbolic
  /// link is reported as neither a regular file nor a directory.
  [[nodiscard]] static std::optional<FileStat> readEntry(int directoryFd, const char *name);
};

} // namespace lumora
