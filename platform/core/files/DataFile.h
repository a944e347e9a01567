#pragma once

#include "platform/core/posix/UniqueFd.h"

#include <QString>
#include <filesystem>
#include <string_view>

/// Opens the application's own files in its data folder (cache, logs, session marker, locks)
/// so that something else planted under their names can do no harm. No symbolic link is
/// followed, so a link's target is never read, written, truncated or made private; nothing
/// blocks, so a FIFO cannot hang the caller; only a regular file is used. A refused entry is
/// replaced atomically by a new regular file when the caller asks for it: the rename replaces the
/// entry itself.
namespace platform::datafile {

/// An opened data file, or why there is none.
struct Opened {
  /// The open file, in blocking mode; invalid when not opened.
  UniqueFd fd;
  /// errno when not opened: ENOENT for a missing file, EINVAL for a refused one.
  int error = 0;
  /// What stood at the path instead of a usable file ("a FIFO", "a symbolic link", …):
  /// refused by `open`, replaced by `openOrCreate`. Empty when there was none.
  QString refusal;
};

/// The kind of a file-system entry of `mode`, as logs name it ("a FIFO", "a folder", …).
[[nodiscard]] QString kindOf(unsigned mode);

/// What stands at `path` instead of a regular file, without following a link; empty when
/// nothing is there or a regular file is.
[[nodiscard]] QString plantedAt(const std::filesystem::path &path);

/// Opens the existing file at `path` with `access` (O_RDONLY, O_WRONLY or O_RDWR, with
/// O_APPEND when wanted). Anything but a regular file is refused.
[[nodiscard]] Opened open(const std::filesystem::path &path, int access);

/// `open`, making the file with `initial` as its contents when it is missing (never over a
/// file another writer made meanwhile), and replacing a refused entry by such a file.
[[nodiscard]] Opened openOrCreate(const std::filesystem::path &path, int access,
                                  std::string_view initial);

/// Puts a new regular file holding `initial` in place of whatever stands at `path`, in one
/// step. An empty folder there is removed first; a folder holding anything is left as it is
/// and the call fails (errno ENOTEMPTY), since what it holds may be someone's. False, with
/// errno, on failure.
[[nodiscard]] bool replaceEntry(const std::filesystem::path &path, std::string_view initial);

} // namespace platform::datafile
