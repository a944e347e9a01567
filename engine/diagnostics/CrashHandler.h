#pragma once

#include <QString>

/// Last words of a dying process: a "crash" line in the diagnostics log for an uncaught C++
/// exception (std::terminate) and for the fatal signals SIGSEGV, SIGBUS, SIGILL, SIGFPE and
/// SIGABRT.
namespace lumora::crashhandler {

/// Installs the terminate handler and the signal handlers, writing to the log file at `logPath`.
/// The path is copied now, because a signal handler may neither allocate nor lock: it writes
/// with open/write/close only, and never takes the log's lock. The previous handlers run
/// afterwards, so the process ends exactly as it would have without them. Only the first call
/// in a process installs anything. The calling thread also gets an alternate signal stack, so
/// that a stack overflow on it is still reported.
void install(const QString &logPath);

} // namespace lumora::crashhandler
