#pragma once

#include "engine/model/Date.h"

#include <QUrl>
#include <cstdint>
#include <string>

namespace lumora {

/// One image file found by a folder enumeration.
struct FileInfo {
  /// The file's path as native bytes, always valid UTF-8; it becomes the photo's id.
  std::string path;
  /// The same file as a file URL.
  QUrl url;
  /// Size in bytes; 0 when unknown.
  std::int64_t fileSize = 0;
  /// Content modification time; 1970-01-01 00:00:00 UTC when unknown.
  Date modified;
  /// The file's device and inode.
  std::uint64_t device = 0;
  std::uint64_t inode = 0;

  bool operator==(const FileInfo &) const = default;
};

} // namespace lumora
