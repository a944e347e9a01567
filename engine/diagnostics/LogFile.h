#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

/// The append-and-trim rule of the diagnostics log file. Callers serialise calls themselves.
namespace lumora::logfile {

/// The most bytes the log may reach by appending.
inline constexpr std::int64_t kMaxBytes = 524288;
/// The bytes kept from the end of the log when it is trimmed.
inline constexpr std::int64_t kKeptBytes = 262144;

/// Appends `line` to the file at `path`, creating it when missing. When the file would grow past
/// kMaxBytes it is replaced by its last kKeptBytes followed by `line` (the cut is by bytes and may
/// fall inside a line or a character). The replacement is written to a temporary file and renamed
/// over the log, so a crash at any instant leaves either the old or the trimmed log. When the
/// tail cannot be read or the replacement cannot be written, the line is appended instead. Every
/// other failure drops the line silently. Something planted at `path` (a FIFO, a link) is
/// never written through: it is replaced by a new log, and the result says what it was
/// (empty when the log was a plain file or missing).
[[nodiscard]] QString append(const QString &path, const QByteArray &line);

} // namespace lumora::logfile
