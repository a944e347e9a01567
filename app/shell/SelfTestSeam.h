#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace lumora {

/// Where the application's start-up meets the UI self-tests. The entry calls
/// `prepareIfRequested()` of both (interaction first) before the diagnostics session
/// begins, and `runAfterLaunchIfNeeded()` of both 0.6 s after launch; the launch calls hand
/// the folder to the runner that the self-test library registered (nothing happens when
/// none is registered). Views read `UISelfTest::isEnabled()` (the group card records
/// presses only then); the root view starts no scan of its own while a test is requested.
class UISelfTest {
public:
  using Runner = std::function<void(const QString &folder)>;

  [[nodiscard]] static bool isEnabled() { return s_enabled; }
  [[nodiscard]] static const std::optional<QString> &folder() { return s_folder; }
  /// Reads the marker file "/tmp/corvale-selftest-ui", the setting "SelftestFolder" and the
  /// argument "--selftest-ui <folder>", in this order; the first that names a folder wins.
  static void prepareIfRequested();
  static void runAfterLaunchIfNeeded();
  static void setRunner(Runner runner) { s_runner = std::move(runner); }
  /// For tests of views that behave differently during a self-test.
  static void setEnabledForTesting(bool enabled) { s_enabled = enabled; }

private:
  static inline bool s_enabled = false;
  static inline std::optional<QString> s_folder;
  static inline Runner s_runner;
};

/// The motion self-test's side of the seam ("/tmp/corvale-selftest-motion",
/// "SelftestMotionFolder", "--selftest-motion"); see `UISelfTest`.
class UIMotionSelfTest {
public:
  using Runner = UISelfTest::Runner;

  [[nodiscard]] static bool isEnabled() { return s_enabled; }
  [[nodiscard]] static const std::optional<QString> &folder() { return s_folder; }
  static void prepareIfRequested();
  static void runAfterLaunchIfNeeded();
  static void setRunner(Runner runner) { s_runner = std::move(runner); }

private:
  static inline bool s_enabled = false;
  static inline std::optional<QString> s_folder;
  static inline Runner s_runner;
};

/// True while either self-test was requested.
[[nodiscard]] inline bool selfTestRequested() {
  return UISelfTest::isEnabled() || UIMotionSelfTest::isEnabled();
}

/// The end of a run once its event loop is over: a self-test run may still owe its report
/// (the loop ended before the test wrote one), which the self-test library's finisher writes.
class SelfTestExit {
public:
  /// Writes what the run still owes and gives the process's exit code.
  using Finisher = std::function<int()>;

  static void setFinisher(Finisher finisher) { s_finisher = std::move(finisher); }
  /// The process's exit code after the event loop returned `loopExitCode`: the finisher's
  /// answer when a self-test was requested and a finisher is registered, else unchanged.
  [[nodiscard]] static int exitCode(int loopExitCode);

private:
  static inline Finisher s_finisher;
};

} // namespace lumora
