#pragma once

#include "engine/cache/CompactionFiles.h"
#include "platform/core/posix/UniqueFd.h"

namespace lumora {

/// Compaction's file operations on the real file system, with `fsync` where durability
/// matters. Holds at most one open file, closed on destruction.
class PosixCompactionFiles final : public CompactionFiles {
public:
  PosixCompactionFiles() = default;
  ~PosixCompactionFiles() override;
  PosixCompactionFiles(const PosixCompactionFiles &) = delete;
  PosixCompactionFiles &operator=(const PosixCompactionFiles &) = delete;

  Expected<void, QString> create(const std::filesystem::path &path) override;
  Expected<void, QString> write(std::string_view bytes) override;
  Expected<void, QString> syncAndClose() override;
  void abandon() override;
  Expected<void, QString> rename(const std::filesystem::path &from,
                                 const std::filesystem::path &to) override;
  Expected<void, QString> syncFolder(const std::filesystem::path &folder) override;
  void remove(const std::filesystem::path &path) override;

private:
  platform::UniqueFd m_fd;
  std::filesystem::path m_path;
};

} // namespace lumora
