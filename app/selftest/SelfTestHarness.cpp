#include "app/selftest/SelfTestHarness.h"

#include "app/selftest/SelfTestFailure.h"
#include "app/shell/window/QuitSignals.h"
#include "app/store/services/LumoraEngineClient.h"
#include "engine/core/LumoraEngine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>
#include <csignal>

namespace lumora {
namespace {

QString signalName(int signal) {
  switch (signal) {
  case SIGTERM: return QStringLiteral("SIGTERM");
  case SIGINT: return QStringLiteral("SIGINT");
  case SIGHUP: return QStringLiteral("SIGHUP");
  default: return QStringLiteral("应用退出");
  }
}

} // namespace

QString SelfTestHarness::interruptedText() {
  return QStringLiteral("自测被中断（%1）").arg(signalName(QuitSignals::lastSignal()));
}

void SelfTestHarness::wait(int ms) {
  QEventLoop loop;
  bool elapsed = false;
  QTimer::singleShot(std::max(ms, 0), Qt::PreciseTimer, &loop, [&loop, &elapsed] {
    elapsed = true;
    loop.quit();
  });
  loop.exec();
  // Only the application's quit ends the loop before its time, and every later loop then
  // returns at once: the checks after it would fail for no fault of their own.
  if (!elapsed) {
    throw SelfTestFailure{interruptedText()};
  }
}

void SelfTestHarness::spin(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) {
    wait(static_cast<int>(std::min<qint64>(4, ms - clock.elapsed())));
  }
}

std::unique_ptr<AppStore> SelfTestHarness::makeStore(std::optional<QString> cacheFile) {
  AppStore::Services services;
  services.engine =
      std::make_shared<LumoraEngineClient>(std::make_shared<LumoraEngine>(std::move(cacheFile)));
  // The folders a self-test scans are not the user's: the next launch reopens the user's.
  services.remembersFolder = false;
  return std::make_unique<AppStore>(std::move(services));
}

AppStore::Phase SelfTestHarness::scanAndWait(AppStore &store, const QString &folder,
                                             std::chrono::milliseconds limit, int pollMs) {
  store.scanFolder(QUrl::fromLocalFile(folder));
  QElapsedTimer clock;
  clock.start();
  while (store.phase().isScanning() && clock.elapsed() < limit.count()) {
    wait(pollMs);
  }
  return store.phase();
}

QString SelfTestHarness::phaseText(const AppStore::Phase &phase) {
  switch (phase.kind) {
  case AppStore::Phase::Kind::idle: return QStringLiteral("idle");
  case AppStore::Phase::Kind::scanning: return QStringLiteral("scanning");
  case AppStore::Phase::Kind::ready: return QStringLiteral("ready");
  case AppStore::Phase::Kind::failed: break;
  }
  const std::string_view kind = AppStore::Failure::kindName(phase.failure.kind);
  return QStringLiteral("failed(%1)")
      .arg(QString::fromLatin1(kind.data(), static_cast<qsizetype>(kind.size())));
}

QWidget *SelfTestHarness::hostWindow(QWidget *content, const QRect &frame) {
  auto *window = new QWidget(nullptr, Qt::Window | Qt::WindowTransparentForInput |
                                          Qt::WindowDoesNotAcceptFocus);
  // Shown for Qt (laid out, painted, animated, given events) but never mapped on the
  // display, and never activated: the user's desktop and keyboard focus stay untouched.
  window->setAttribute(Qt::WA_DontShowOnScreen, true);
  window->setAttribute(Qt::WA_ShowWithoutActivating, true);
  auto *layout = new QVBoxLayout(window);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(content);
  window->setGeometry(frame);
  window->show();
  return window;
}

void SelfTestHarness::hideAllWindows() {
  for (QWidget *window : QApplication::topLevelWidgets()) {
    if (window->isVisible()) {
      window->hide();
    }
  }
}

} // namespace lumora
