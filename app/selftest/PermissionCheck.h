#pragma once

#include <QString>
#include <chrono>

/// The UI self-test's check that a scan of a folder the process may not read ends in the
/// failed phase with the kind `permissionDenied`.
namespace lumora::permissioncheck {

struct Options {
  QString folder = QStringLiteral("/tmp/uiqa-selftest-denied");
  /// The private engine's cache file; it stays after the check.
  QString cacheFile = QStringLiteral("/tmp/uiqa/selftest-fail-cache.bin");
  std::chrono::milliseconds limit{20000};
};

/// Makes the unreadable folder, scans it with a private store and removes it again;
/// throws `SelfTestFailure` when the scan ends otherwise.
void verify(const Options &options = {});

} // namespace lumora::permissioncheck
