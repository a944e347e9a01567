#pragma once

#include "app/shell/ScreenFactory.h"
#include "app/store/AppStore.h"

#include <QString>
#include <optional>

namespace lumora {

/// The functional UI self-test: scans the folder with a private store, presses and clicks a
/// real group card, builds it once more, drives the results grid and the detail screen by
/// keys, scans a folder it may not read and checks the reduced motion tokens. It stops at
/// the first failure.
class UISelfTestRun {
public:
  /// `screens` builds the results grid and the detail screen, as in the application.
  explicit UISelfTestRun(ScreenFactory screens);

  /// Runs the test, prints and writes its report; the exit code (0 passed, 1 failed).
  int run(const QString &folder);
  /// Prints and writes the report of a run that ended with `failure` (none: passed).
  static void report(const std::optional<QString> &failure);

  /// "/tmp/lumora-selftest.log": the report's copy for QA.
  static constexpr char kLogPath[] = "/tmp/lumora-selftest.log";

private:
  /// Throws `SelfTestFailure` at the first failed check.
  void perform(const QString &folder);
  static void judgeScan(const AppStore &store, const AppStore::Phase &phase);

  ScreenFactory m_screens;
};

} // namespace lumora
