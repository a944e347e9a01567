#include "app/selftest/UISelfTestRun.h"

#include "app/selftest/CardTapCheck.h"
#include "app/selftest/KeyboardCheck.h"
#include "app/selftest/PermissionCheck.h"
#include "app/selftest/ReducedMotionCheck.h"
#include "app/selftest/SelfTestFailure.h"
#include "app/selftest/SelfTestHarness.h"
#include "app/selftest/SelfTestReport.h"

#include <QFileInfo>
#include <exception>

namespace lumora {
namespace {

using namespace std::chrono_literals;

constexpr auto kScanLimit = 180s;
constexpr int kScanPollMs = 50;

} // namespace

UISelfTestRun::UISelfTestRun(ScreenFactory screens) : m_screens(std::move(screens)) {}

int UISelfTestRun::run(const QString &folder) {
  std::optional<QString> failure;
  try {
    perform(folder);
  } catch (const SelfTestFailure &failed) {
    failure = failed.description;
  } catch (const std::exception &error) {
    failure = QString::fromLocal8Bit(error.what());
  }
  report(failure);
  return failure ? 1 : 0;
}

void UISelfTestRun::report(const std::optional<QString> &failure) {
  selftestreport::publish(selftestreport::interactionReport(failure),
                          QFileInfo(QString::fromLatin1(kLogPath)).fileName(),
                          QString::fromLatin1(kLogPath));
}

void UISelfTestRun::perform(const QString &folder) {
  SelfTestHarness::hideAllWindows();
  SelfTestHarness::wait(300);
  // The hidden windows the checks keep show this store until the process ends: it stays.
  AppStore &store = *SelfTestHarness::makeStore().release();
  const AppStore::Phase phase =
      SelfTestHarness::scanAndWait(store, folder, kScanLimit, kScanPollMs);
  judgeScan(store, phase);
  const PhotoGroup group = store.groups().front();
  cardtapcheck::verify(store, group, false);
  cardtapcheck::verifyBuild(store, group);
  KeyboardCheck(store, m_screens).verify();
  permissioncheck::verify();
  reducedmotioncheck::verify();
}

void UISelfTestRun::judgeScan(const AppStore &store, const AppStore::Phase &phase) {
  if (phase.isScanning()) {
    throw SelfTestFailure{QStringLiteral("扫描超时（180s）")};
  }
  if (phase.kind != AppStore::Phase::Kind::ready) {
    throw SelfTestFailure{QStringLiteral("扫描未完成，phase=") + SelfTestHarness::phaseText(phase)};
  }
  if (store.groups().empty()) {
    throw SelfTestFailure{QStringLiteral("扫描成功但没有分组，无法验证 GroupCard")};
  }
}

} // namespace lumora
