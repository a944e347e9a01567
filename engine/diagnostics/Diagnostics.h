#pragma once

#include <QString>
#include <QUrl>

/// Process-wide diagnostics log and session marker. Never reports a failure to its
/// caller and never throws: diagnostics must not disturb the work they describe.
///
/// The log "diagnostics.log" and the marker "session.running" live in the data folder
/// (`directory()`). `log` and `clear` are serialised by one process-wide lock and may be called
/// from any thread; nothing called under that lock logs.
namespace lumora::Diagnostics {

/// Appends one line "[time] [category] message" to the log, trimming it when needed. The time
/// is UTC with whole seconds ("2026-12-06T13:46:26Z"). Line breaks and backslashes in the
/// category and message are escaped, so one call always writes exactly one physical line.
void log(const QString &category, const QString &message);

/// Logs under "perf" the text "<label>: <seconds × 1000, no decimals> ms".
void logTiming(const QString &label, double seconds);

/// Logs under "mem" the text "<tag>: <resident MiB, no decimals> MB" when the resident size is
/// known and above 0; otherwise logs nothing.
void logMemory(const QString &tag);

/// The process's resident memory in MiB (from /proc/self/statm), −1 when it cannot be read.
[[nodiscard]] double currentResidentMB();

/// Logs "⚠️ unclean previous exit detected" under "app" when the session marker of an earlier
/// run is still present, then writes the marker (the 7 bytes "running").
void beginSession();

/// Removes the session marker; nothing else is written at shut-down.
void endSession();

/// Installs the process's handlers for uncaught exceptions and fatal signals, which append a
/// "crash" line (and, for an exception, a "stack" line) to the log and then let the process end
/// as it would have. Call once, early, from the main thread.
void installCrashHandler();

/// The build number the report names beside the application's version; the application sets
/// it once at start-up (the engine cannot read it on its own). "?" until set.
void setBuildVersion(const QString &build);

/// The application's reverse-DNS identifier that the report's "Bundle:" line names; the
/// application sets it once at start-up. "?" until set.
void setApplicationIdentifier(const QString &identifier);

/// The diagnostics report for export: version, system, cache sizes, memory and the last 200
/// lines of the log, joined with line feeds (none at the end).
[[nodiscard]] QString exportText();

/// Deletes the log file; the session marker is untouched.
void clear();

/// The data folder holding the log and the marker (~/.local/share/Lumora).
[[nodiscard]] QString directory();

/// The session marker that `beginSession` writes and `endSession` removes.
[[nodiscard]] QString sessionMarkerPath();
/// The log file: `directory()` + "/diagnostics.log", as a file URL.
[[nodiscard]] QUrl logURL();

} // namespace lumora::Diagnostics
