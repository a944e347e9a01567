#include "app/selftest/SelfTestHarness.h"

#include "app/store/services/LumoraEngineClient.h"
#include "engine/core/LumoraEngine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

namespace lumora {

void SelfTestHarness::wait(int ms) {
  QEventLoop loop;
  QTimer::singleShot(std::max(ms, 0), Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
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
  auto *window = new QWidget(nullptr, Qt::Window | Qt::WindowTransparentForInput);
  window->setAttribute(Qt::WA_DontShowOnScreen, false);
  auto *layout = new QVBoxLayout(window);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(content);
  window->setGeometry(frame);
  window->setWindowOpacity(0.0);
  window->show();
  window->activateWindow();
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
