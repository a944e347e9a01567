#include "app/selftest/SelfTestQueue.h"

#include "app/shell/SelfTestSeam.h"

#include <QCoreApplication>
#include <QTimer>
#include <deque>
#include <utility>

namespace lumora {
namespace {

struct QueuedTest {
  SelfTestQueue::Test test;
  QString folder;
};

std::deque<QueuedTest> &pending() {
  static std::deque<QueuedTest> queue;
  return queue;
}

bool s_started = false;

// Runs every queued test in turn; a test queued while another runs waits for it.
void runAll() {
  int exitCode = 0;
  while (!pending().empty()) {
    QueuedTest next = std::move(pending().front());
    pending().pop_front();
    exitCode = std::max(exitCode, next.test(next.folder) == 0 ? 0 : 1);
  }
  QCoreApplication::exit(exitCode);
}

} // namespace

void SelfTestQueue::install(Test interaction, Test motion) {
  UISelfTest::setRunner([interaction](const QString &folder) { enqueue(interaction, folder); });
  UIMotionSelfTest::setRunner([motion](const QString &folder) { enqueue(motion, folder); });
}

void SelfTestQueue::enqueue(Test test, const QString &folder) {
  pending().push_back({std::move(test), folder});
  if (!s_started) {
    s_started = true;
    QTimer::singleShot(0, QCoreApplication::instance(), &runAll);
  }
}

} // namespace lumora
