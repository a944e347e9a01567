#pragma once

#include <QString>
#include <functional>

namespace lumora {

/// Runs the requested self-tests one after the other, in the order they were requested
/// (the interaction test first), so that only one of them scans at a time, and ends the
/// application after the last one with exit code 1 when any failed, else 0.
class SelfTestQueue {
public:
  /// A test run: writes its report and returns its exit code.
  using Test = std::function<int(const QString &folder)>;

  /// Registers both tests as the seam's runners.
  static void install(Test interaction, Test motion);
  /// Queues one run; the queue starts on the next turn of the event loop.
  static void enqueue(Test test, const QString &folder);
};

} // namespace lumora
