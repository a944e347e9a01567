#pragma once

#include "engine/imaging/FileInfo.h"

#include <QUrl>
#include <cstdint>
#include <vector>

namespace lumora {

/// The outcome of one enumeration over the folders and files the user chose.
struct EnumerateResult {
  /// Every accepted file of every root, oldest modification first (ties keep walk order).
  std::vector<FileInfo> files;
  /// Roots that are folders whose listing failed, in the order of the roots.
  std::vector<QUrl> unreadableRoots;
  /// Image files that passed every test but whose path is not valid UTF-8. Such a path
  /// cannot be carried by a photo id or a file URL without changing bytes, so these files
  /// are left out of `files`; they count as found but skipped.
  std::int64_t invalidNameCount = 0;

  bool operator==(const EnumerateResult &) const = default;
};

} // namespace lumora
