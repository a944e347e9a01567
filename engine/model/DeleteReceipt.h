#pragma once

#include "platform/core/trash/FileIdentity.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumora {

/// The record of one deletion, the input of undo.
struct DeleteReceipt {
  /// One file moved to the Trash.
  struct TrashedFile {
    std::string originalPath;
    std::string trashedPath;
    /// The file as it lies in the Trash, so that undo brings back only that file and never
    /// another put under the same Trash name since; none when the Trash did not say.
    std::optional<platform::FileIdentity> trashed;
    bool operator==(const TrashedFile &) const = default;
  };

  /// In the order of moving.
  std::vector<TrashedFile> trashedFiles;
  /// Library photos deleted into "Recently Deleted".
  std::int64_t libraryItemCount = 0;

  /// Only files in the Trash can be restored.
  [[nodiscard]] bool canUndo() const { return !trashedFiles.empty(); }
  [[nodiscard]] std::int64_t totalCount() const {
    return static_cast<std::int64_t>(trashedFiles.size()) + libraryItemCount;
  }
  /// Where the photos went, in the engine's fixed Chinese.
  [[nodiscard]] QString undoHint() const;
  bool operator==(const DeleteReceipt &) const = default;
};

struct TrashedFileHash {
  std::size_t operator()(const DeleteReceipt::TrashedFile &file) const {
    const std::size_t a = std::hash<std::string>{}(file.originalPath);
    return a ^ (std::hash<std::string>{}(file.trashedPath) + 0x9e3779b97f4a7c15ULL + (a << 6));
  }
};

} // namespace lumora
