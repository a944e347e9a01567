#include "app/selftest/UIMotionSelfTestRun.h"

#include "app/selftest/MotionCapture.h"
#include "app/selftest/ScreenTestHost.h"
#include "app/selftest/SelfTestFailure.h"
#include "app/selftest/SelfTestHarness.h"
#include "app/selftest/SelfTestReport.h"

#include <QDir>
#include <QFileInfo>
#include <exception>

namespace lumora {
namespace {

using namespace std::chrono_literals;

constexpr QSize kHostSize{900, 700};

QString resetFramesFolder() {
  const QString folder = selftestreport::outputDirectory() + QStringLiteral("/motion-frames");
  QDir(folder).removeRecursively();
  QDir().mkpath(folder);
  return folder;
}

} // namespace

UIMotionSelfTestRun::UIMotionSelfTestRun(ScreenFactory screens) : m_screens(std::move(screens)) {}

int UIMotionSelfTestRun::run(const QString &folder) {
  QStringList failures;
  Outcome outcome;
  try {
    outcome = measure(folder);
    failures = judge(outcome.segments);
  } catch (const SelfTestFailure &failed) {
    failures << failed.description;
  } catch (const std::exception &error) {
    failures << QString::fromLocal8Bit(error.what());
  }
  report(failures, outcome);
  return failures.isEmpty() ? 0 : 1;
}

void UIMotionSelfTestRun::reportFailure(const QString &failure) { report({failure}, {}); }

void UIMotionSelfTestRun::report(const QStringList &failures, const Outcome &outcome) {
  selftestreport::publish(selftestreport::motionReport(failures, outcome.segments, outcome.notes),
                          QFileInfo(QString::fromLatin1(kLogPath)).fileName(),
                          QString::fromLatin1(kLogPath));
}

UIMotionSelfTestRun::Outcome UIMotionSelfTestRun::measure(const QString &folder) {
  SelfTestHarness::wait(300);
  MotionCapture camera(resetFramesFolder());
  // The hidden host window shows this store until the process ends: it stays.
  AppStore &store = *SelfTestHarness::makeStore().release();
  const AppStore::Phase phase = SelfTestHarness::scanAndWait(store, folder, 180s, 50);
  if (phase.kind != AppStore::Phase::Kind::ready) {
    throw SelfTestFailure{QStringLiteral("扫描未完成")};
  }
  if (store.groups().empty()) {
    throw SelfTestFailure{QStringLiteral("没有分组")};
  }
  const PhotoGroup group = store.groups().front();
  auto *host = new ScreenTestHost(store, m_screens, ScreenTestHost::Kind::motion);
  host->setFixedSize(kHostSize);
  SelfTestHarness::hostWindow(host, QRect(QPoint(60, 60), kHostSize));
  SelfTestHarness::wait(900);
  Outcome outcome;
  outcome.segments.push_back(camera.captureSequence(QStringLiteral("detail"), host,
                                                    [&store, &group] { store.openDetail(group); }));
  outcome.segments.push_back(camera.captureSequence(
      QStringLiteral("back"), host, [&store] { store.setDetailGroupID(std::nullopt); }));
  const MotionSegment toast = camera.captureToastProbe(store);
  if (toast.animated < 2) {
    outcome.notes << QStringLiteral("SELFTEST_MOTION_SKIP toast(reason=frames-static animated=%1)")
                         .arg(toast.animated);
  } else {
    outcome.segments.push_back(toast);
  }
  store.setUndoToast(std::nullopt);
  return outcome;
}

QStringList UIMotionSelfTestRun::judge(const std::vector<MotionSegment> &segments) {
  QStringList failures;
  for (const MotionSegment &segment : segments) {
    if (segment.animated < 2) {
      failures << segment.name +
                      QStringLiteral(": animated pairs=%1 < 2（疑似瞬切）").arg(segment.animated);
    }
    if (segment.settleIndex < segment.maxIndex) {
      failures << segment.name + QStringLiteral(": maxJump 出现在 settle 之后（闪动/抖动）");
    }
    if (segment.blank >= 1) {
      failures << segment.name + QStringLiteral(": blankFrames=%1（闪白）").arg(segment.blank);
    }
  }
  return failures;
}

} // namespace lumora
