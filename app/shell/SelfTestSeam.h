#pragma once

#include <QString>
#include <optional>

namespace lumora {

/// Where the application's start-up meets the UI self-tests. Until the self-tests exist
/// these are empty: nothing is requested, `isEnabled` stays false and the launch calls do
/// nothing. The entry calls `prepareIfRequested()` of both (interaction first) before the
/// diagnostics session begins, and `runAfterLaunchIfNeeded()` of both 0.6 s after launch.
/// Views read `UISelfTest::isEnabled()` (the group card records presses only then).
class UISelfTest {
public:
  [[nodiscard]] static bool isEnabled() { return s_enabled; }
  [[nodiscard]] static const std::optional<QString> &folder() { return s_folder; }
  static void prepareIfRequested() {}
  static void runAfterLaunchIfNeeded() {}
  /// For tests of views that behave differently during a self-test.
  static void setEnabledForTesting(bool enabled) { s_enabled = enabled; }

private:
  static inline bool s_enabled = false;
  static inline std::optional<QString> s_folder;
};

/// The motion self-test's side of the seam; see `UISelfTest`.
class UIMotionSelfTest {
public:
  [[nodiscard]] static bool isEnabled() { return s_enabled; }
  [[nodiscard]] static const std::optional<QString> &folder() { return s_folder; }
  static void prepareIfRequested() {}
  static void runAfterLaunchIfNeeded() {}

private:
  static inline bool s_enabled = false;
  static inline std::optional<QString> s_folder;
};

} // namespace lumora
