#pragma once

#include "engine/util/Expected.h"

#include <QByteArray>
#include <QString>

namespace lumora {

/// A remembered folder: an opaque blob holding the folder's path (as the file system's
/// bytes) and the device and inode it had when the blob was made. Linux grants no
/// per-folder access that would need a token, so the blob only has to find the folder
/// again and tell whether the path still names the same one.
class FolderBookmark {
public:
  /// What a blob resolves to.
  struct Resolution {
    QString path;
    /// The path now names a different folder than when the blob was made (the folder was
    /// replaced); the caller should store a fresh blob.
    bool stale = false;
  };

  /// A blob for the folder at `path`; fails with a readable reason when `path` does not
  /// name a directory.
  [[nodiscard]] static Expected<QByteArray, QString> create(const QString &path);
  /// The folder a blob names; fails when the blob is damaged or its path no longer names
  /// a directory (moved or deleted).
  [[nodiscard]] static Expected<Resolution, QString> resolve(const QByteArray &blob);
};

} // namespace lumora
