#pragma once

#include <QString>
#include <functional>

namespace lumora {

/// Starts the requested self-test and ends the application with its exit code.
///
/// One test runs per launch: the first one started (the interaction test when both are
/// requested) ends the process once it has reported, so only its report is written and the
/// other never starts. The two cannot run side by side: each waits by running nested event
/// loops, so the one started second would hold up every wait of the first until it ended,
/// and their two private engines would scan into the one analysis cache at once.
///
/// A self-test run never ends with 0 without its PASS report: when the event loop ends before
/// the test has reported (a quit signal before the test started), the interruption report of
/// the test started, else of the first one requested, is written and the exit code is 1.
class SelfTestLauncher {
public:
  struct Test {
    /// Runs the test on a folder, prints and writes its report, returns its exit code.
    std::function<int(const QString &folder)> run;
    /// Prints and writes the report of a run that failed with the one text given.
    std::function<void(const QString &failure)> reportFailure;
  };

  /// Registers both tests as the seam's runners and the launcher as its finisher.
  static void install(Test interaction, Test motion);
};

} // namespace lumora
