#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

/// Reads small files that someone else may have planted or replaced: the QA markers and
/// self-test switches in /tmp (a folder anyone can write) and the application's own data
/// files. Only a regular file is read, opened without blocking (a FIFO or a device is
/// refused before any read), and never more than a set number of bytes, so such a file
/// can neither hang the start-up nor exhaust memory.
namespace platform::saferead {

struct Rules {
  /// A longer file is refused.
  qint64 maxBytes = 4096;
  /// Refuse a symbolic link as the last part of the path.
  bool refuseSymlink = true;
  /// Refuse a file owned by another user than the one running the application.
  bool requireOwnFile = true;
};

/// The markers' rules: at most 4 KiB, no symbolic link, owned by the current user.
inline constexpr Rules kMarkerRules{};

struct Outcome {
  /// The file's bytes when it was read.
  std::optional<QByteArray> bytes;
  /// Why an existing path was not read ("a FIFO", "owned by uid 1001", …); empty when the
  /// file was read or does not exist.
  QString refusal;
};

[[nodiscard]] Outcome read(const QString &path, const Rules &rules = kMarkerRules);

/// Why an open descriptor may not be read under `rules` (same texts as `read`); empty
/// when it may.
[[nodiscard]] QString refusalFor(int fd, const Rules &rules);

} // namespace platform::saferead
