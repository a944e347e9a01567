// shell-scan-responsiveness FOLDER [--json]: the main window's content offscreen at
// 1150 × 780 over the real store and engine, scanning FOLDER (bench/make-scan-folder DIR
// 300) from the folder picker to the results. A 4 ms probe timer on the GUI thread measures
// how long the thread was kept from it (a stall is the delay past 4 ms), and the window's
// repaints are timed. Prints photos, p95_stall_ms (target <= 16), max_stall_ms
// (target <= 100), screen_rebuilds and token_changes, and paint_p95_ms. The screen is
// replaced at each token change and once more where the phase changes the screen under one
// token: the scanning card gives way to the live results at the first batch of
// a scan from an empty cache. Any further replacement is a rebuild no state asked for.

#include "BenchProcess.h"
#include "app/shell/ScreenFactory.h"
#include "app/shell/root/ContentView.h"
#include "app/shell/root/PhaseScreenHost.h"
#include "app/store/AppStore.h"
#include "app/store/services/LumoraEngineClient.h"
#include "app/store/texts/Localized.h"
#include "engine/core/LumoraEngine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace lumora;

namespace {

constexpr int kProbeMs = 4;
constexpr int kSettleMs = 500;
constexpr int kTimeoutMs = 15 * 60 * 1000;

/// The top-level window; times each repaint of the whole window (Qt repaints a top-level
/// widget's dirty region when it handles the update request).
class TimedWindow : public QWidget {
public:
  std::vector<double> paintMs;

protected:
  bool event(QEvent *event) override {
    if (event->type() != QEvent::UpdateRequest) {
      return QWidget::event(event);
    }
    QElapsedTimer timer;
    timer.start();
    const bool handled = QWidget::event(event);
    paintMs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    return handled;
  }
};

/// Records how late each tick of a 4 ms timer comes.
class StallProbe {
public:
  StallProbe() {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kProbeMs);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
  }
  void start() {
    m_clock.start();
    m_last = 0;
    m_timer.start();
  }
  void stop() { m_timer.stop(); }
  std::vector<double> stalls;

private:
  void tick() {
    const double now = static_cast<double>(m_clock.nsecsElapsed()) / 1e6;
    stalls.push_back(std::max(0.0, now - m_last - kProbeMs));
    m_last = now;
  }
  QTimer m_timer;
  QElapsedTimer m_clock;
  double m_last = 0;
};

double percentile(std::vector<double> values, double p) {
  if (values.empty()) {
    return 0;
  }
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
  return values[std::min(index, values.size() - 1)];
}

struct Figures {
  std::size_t photos = 0;
  double p95Stall = 0;
  double maxStall = 0;
  int screenRebuilds = 0;
  int tokenChanges = 0;
  double paintP95 = 0;
};

void print(const Figures &f, bool json) {
  if (json) {
    std::printf("{\"photos\":%zu,\"p95_stall_ms\":%.2f,\"max_stall_ms\":%.2f,"
                "\"screen_rebuilds\":%d,\"token_changes\":%d,\"paint_p95_ms\":%.2f}\n",
                f.photos, f.p95Stall, f.maxStall, f.screenRebuilds, f.tokenChanges, f.paintP95);
    return;
  }
  std::printf("photos %zu\np95_stall_ms %.2f (target <= 16)\nmax_stall_ms %.2f (target <= 100)\n"
              "screen_rebuilds %d, token_changes %d (one more rebuild: the card giving way to the "
              "live results)\npaint_p95_ms %.2f\n",
              f.photos, f.p95Stall, f.maxStall, f.screenRebuilds, f.tokenChanges, f.paintP95);
}

std::unique_ptr<AppStore> makeStore(const QString &scratch, const QString &folder) {
  auto engine = std::make_shared<LumoraEngine>(scratch + QStringLiteral("/analysis-cache.bin"));
  AppStore::Services services;
  services.engine = std::make_shared<LumoraEngineClient>(engine);
  services.qaMarkerDirectory = scratch;
  services.pickFolder = [folder](const FolderPickerRequest &,
                                 std::function<void(std::optional<QUrl>)> done) {
    done(QUrl::fromLocalFile(folder));
  };
  services.openSettingsTarget = [](const QString &) { return false; };
  return std::make_unique<AppStore>(std::move(services));
}

/// Counts the changes of the store's phase token, the moments the screen must be replaced.
void watchTokens(AppStore &store, QObject *context, int *changes) {
  auto last = std::make_shared<QString>(store.phaseToken());
  for (auto signal : {&AppStore::phaseChanged, &AppStore::itemsChanged, &AppStore::groupsChanged,
                      &AppStore::isPausedChanged}) {
    QObject::connect(&store, signal, context, [&store, last, changes] {
      const QString token = store.phaseToken();
      if (token != *last) {
        *last = token;
        ++*changes;
      }
    });
  }
}

} // namespace

int main(int argc, char **argv) {
  QString folder;
  bool json = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--json") == 0) {
      json = true;
    } else if (folder.isEmpty()) {
      folder = QString::fromLocal8Bit(argv[i]);
    } else {
      folder.clear();
      break;
    }
  }
  if (folder.isEmpty()) {
    std::fprintf(stderr, "usage: shell-scan-responsiveness FOLDER [--json]\n"
                         "(bench/make-scan-folder DIR 300 writes a test folder)\n");
    return 2;
  }
  QTemporaryDir scratch;
  if (!scratch.isValid()) {
    std::fprintf(stderr, "no temporary folder\n");
    return 1;
  }
  benchprocess::isolateDataFolders(scratch.path());
  qputenv("HOME", scratch.path().toLocal8Bit());
  qputenv("QT_QPA_PLATFORM", qEnvironmentVariable("QT_QPA_PLATFORM", "offscreen").toUtf8());
  QApplication app(argc, argv);
  localized::installTranslations();
  std::unique_ptr<AppStore> store = makeStore(scratch.path(), folder);

  TimedWindow window;
  auto *layout = new QVBoxLayout(&window);
  layout->setContentsMargins(0, 0, 0, 0);
  auto *content = new ContentView(*store, ScreenFactory{}, &window);
  layout->addWidget(content);
  window.resize(1150, 780);
  int tokenChanges = 0;
  watchTokens(*store, &window, &tokenChanges);
  window.show();

  StallProbe probe;
  QTimer::singleShot(100, [&] {
    window.paintMs.clear();
    probe.start();
    store->chooseFolder();
  });
  QTimer settle;
  settle.setSingleShot(true);
  QObject::connect(&settle, &QTimer::timeout, &app, &QCoreApplication::quit);
  QObject::connect(store.get(), &AppStore::phaseChanged, [&] {
    if (store->phase().kind != AppStore::Phase::Kind::scanning) {
      settle.start(kSettleMs);
    }
  });
  QTimer::singleShot(kTimeoutMs, &app, &QCoreApplication::quit);
  app.exec();
  probe.stop();

  Figures figures;
  figures.photos = store->items().size();
  figures.p95Stall = percentile(probe.stalls, 0.95);
  figures.maxStall =
      probe.stalls.empty() ? 0 : *std::max_element(probe.stalls.begin(), probe.stalls.end());
  figures.screenRebuilds =
      content->phaseScreens() ? content->phaseScreens()->replacementCount() : -1;
  figures.tokenChanges = tokenChanges;
  figures.paintP95 = percentile(window.paintMs, 0.95);
  print(figures, json);
  return store->phase().kind == AppStore::Phase::Kind::ready ? 0 : 1;
}
