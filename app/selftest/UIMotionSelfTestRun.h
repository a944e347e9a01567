#pragma once

#include "app/selftest/MotionSegment.h"
#include "app/shell/ScreenFactory.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace lumora {

/// The motion self-test: scans the folder with a private store, photographs opening a
/// group's detail, going back and the undo toast coming in, and judges each: at least two
/// moving frame pairs, the largest jump not after the settle point, no blank frame. It
/// collects every failed judgement.
class UIMotionSelfTestRun {
public:
  explicit UIMotionSelfTestRun(ScreenFactory screens);

  /// Runs the test, prints and writes its report; the exit code (0 passed, 1 failed).
  int run(const QString &folder);

  /// Prints and writes the report of a run that failed with `failure` alone.
  static void reportFailure(const QString &failure);

  /// The failures of the kept segments, in order.
  [[nodiscard]] static QStringList judge(const std::vector<MotionSegment> &segments);

  /// "/tmp/lumora-motion.log": the report's copy for QA.
  static constexpr char kLogPath[] = "/tmp/lumora-motion.log";

private:
  struct Outcome {
    std::vector<MotionSegment> segments;
    QStringList notes;
  };
  static void report(const QStringList &failures, const Outcome &outcome);
  /// Throws `SelfTestFailure` when the scan or a capture fails.
  Outcome measure(const QString &folder);

  ScreenFactory m_screens;
};

} // namespace lumora
