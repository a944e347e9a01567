#pragma once

#include "engine/util/Expected.h"

#include <QString>
#include <filesystem>
#include <string_view>

namespace lumora {

/// The file operations a compaction performs, in the order it performs them. The default
/// implementation is `PosixCompactionFiles`; tests substitute one that fails or stops part-way
/// to prove that an interrupted compaction never loses entries.
class CompactionFiles {
public:
  virtual ~CompactionFiles() = default;

  /// Creates `path` exclusively (failing when a file is there) and keeps it open for writing.
  [[nodiscard]] virtual Expected<void, QString> create(const std::filesystem::path &path) = 0;
  /// Writes all of `bytes` to the open file.
  [[nodiscard]] virtual Expected<void, QString> write(std::string_view bytes) = 0;
  /// Flushes the open file to the disk and closes it.
  [[nodiscard]] virtual Expected<void, QString> syncAndClose() = 0;
  /// Closes the open file, if any, ignoring failure.
  virtual void abandon() = 0;
  /// Atomically puts `from` in the place of `to`, replacing a file there.
  [[nodiscard]] virtual Expected<void, QString> rename(const std::filesystem::path &from,
                                                       const std::filesystem::path &to) = 0;
  /// Flushes the folder's entries (a rename or a removal) to the disk.
  [[nodiscard]] virtual Expected<void, QString> syncFolder(const std::filesystem::path &folder) = 0;
  /// Removes a file, ignoring failure (including its absence).
  virtual void remove(const std::filesystem::path &path) = 0;
};

} // namespace lumora
