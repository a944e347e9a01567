#include "app/selftest/SelfTestLauncher.h"

#include "app/selftest/SelfTestHarness.h"
#include "app/shell/SelfTestSeam.h"

#include <QCoreApplication>
#include <QTimer>
#include <optional>
#include <utility>

namespace lumora {
namespace {

struct Launch {
  SelfTestLauncher::Test interaction;
  SelfTestLauncher::Test motion;
  const SelfTestLauncher::Test *started = nullptr;
  std::optional<int> reportedCode;
};

Launch &launch() {
  static Launch state;
  return state;
}

// Starts `test` on the next turn of the event loop unless a test was started already.
void start(const SelfTestLauncher::Test &test, const QString &folder) {
  if (launch().started != nullptr) {
    return;
  }
  launch().started = &test;
  QTimer::singleShot(0, QCoreApplication::instance(), [&test, folder] {
    const int code = test.run(folder);
    launch().reportedCode = code;
    QCoreApplication::exit(code);
  });
}

int finish() {
  if (launch().reportedCode) {
    return *launch().reportedCode;
  }
  const SelfTestLauncher::Test *owed = launch().started;
  if (owed == nullptr) {
    owed = UISelfTest::isEnabled() ? &launch().interaction : &launch().motion;
  }
  owed->reportFailure(SelfTestHarness::interruptedText());
  return 1;
}

} // namespace

void SelfTestLauncher::install(Test interaction, Test motion) {
  launch().interaction = std::move(interaction);
  launch().motion = std::move(motion);
  UISelfTest::setRunner([](const QString &folder) { start(launch().interaction, folder); });
  UIMotionSelfTest::setRunner([](const QString &folder) { start(launch().motion, folder); });
  SelfTestExit::setFinisher(&finish);
}

} // namespace lumora
