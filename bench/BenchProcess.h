#pragma once

// Small helpers the scan benchmarks share: a clock, the process's peak resident memory and a
// private data folder so that a benchmark never touches the user's cache, log or favourites.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>

namespace benchprocess {

/// Seconds on a monotonic clock.
inline double now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

/// A field of /proc/self/status in MiB ("VmHWM" is the peak resident set); -1 when unknown.
inline double statusMB(const std::string &field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field + ":", 0) == 0) {
      return std::strtod(line.c_str() + field.size() + 1, nullptr) / 1024.0; // given in kB
    }
  }
  return -1;
}

/// Processor time, user and system, of `who` (RUSAGE_SELF: all threads of this process;
/// RUSAGE_CHILDREN: the child processes waited for so far).
inline double usageSeconds(int who) {
  rusage usage{};
  ::getrusage(who, &usage);
  const auto seconds = [](const timeval &t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

/// Processor time of the whole process so far, all threads, user and system.
inline double cpuSeconds() { return usageSeconds(RUSAGE_SELF); }

/// Processor time of the child processes waited for so far.
inline double childCpuSeconds() { return usageSeconds(RUSAGE_CHILDREN); }

inline double peakResidentMB() { return statusMB("VmHWM"); }

/// Lets the next peak reading (VmHWM) start from the memory resident now; false when the
/// kernel refuses.
inline bool resetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << '5';
  clear.flush();
  return clear.good();
}
inline double residentMB() { return statusMB("VmRSS"); }

/// Points the XDG data, config, cache and runtime folders into `root`, before anything reads
/// them: the engine's diagnostics log, favourites and default cache then live there.
inline void isolateDataFolders(const QString &root) {
  const QByteArray base = root.toLocal8Bit();
  qputenv("XDG_DATA_HOME", base + "/data");
  qputenv("XDG_CONFIG_HOME", base + "/config");
  qputenv("XDG_CACHE_HOME", base + "/cache");
}

/// `isolateDataFolders` into `scratch`; false, with a message, when there is no such folder.
inline bool isolateInto(const QTemporaryDir &scratch) {
  if (!scratch.isValid()) {
    std::fprintf(stderr, "no temporary folder\n");
    return false;
  }
  isolateDataFolders(scratch.path());
  return true;
}

} // namespace benchprocess
