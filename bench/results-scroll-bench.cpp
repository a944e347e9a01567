// results-scroll-bench [--groups N] [--months M] [--json]: the results grid in a 1150 × 780
// offscreen window over a real store of N (10,000) groups of 2–20 photos spread over M (48)
// months, hard-linked to 48 generated camera-like JPEGs so that thumbnails really decode.
//
// It wheel-scrolls at 3,000 px/s, drags the month rail from top to bottom, steps Ctrl+]
// through every month and pages down with the keyboard. A frame is one input event, what
// it sets off and a synchronous repaint of the window.
// - first_paint_ms: building the view over all groups until the window has painted once;
// - relayout_ms: all groups replaced by new ones until the window has painted again;
// - thumbs_settle_ms: after a fast scroll over 5,000 groups, until the cards in view show
//   their images;
// - live_cards_max: the most cards that existed at once.
// Targets: frame p99 <= 16.7 ms (10,000 and 100,000 groups), first paint <= 150 ms,
// relayout <= 100 ms, settle <= 800 ms, peak resident memory <= 350 MB.
// Frames, first paint and relayout are the GUI thread's processor time, so that a machine
// busy with other work does not count (the wall-clock frame figures are printed beside
// them); the settle time is wall-clock, as the decodes run on other threads.

#include "BenchGroups.h"
#include "WidgetBenchProcess.h"

#include "app/results/CardPool.h"
#include "app/results/GridKeyView.h"
#include "app/results/GroupCard.h"
#include "app/results/MonthIndexRail.h"
#include "app/results/ResultsGrid.h"
#include "app/results/ResultsView.h"
#include "app/shell/theme/Theme.h"
#include "app/store/AppStoreStateAccess.h"
#include "app/store/services/LumoraEngineClient.h"
#include "app/store/texts/Localized.h"
#include "engine/core/LumoraEngine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>

using namespace lumora;
namespace fs = std::filesystem;

namespace {

/// The GUI thread's processor time in milliseconds.
double threadMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

constexpr double kFrameSeconds = 1.0 / 60;
constexpr int kWheelPixelsPerFrame = 50; // 3,000 px/s at 60 frames a second
constexpr int kRailSteps = 240;
constexpr int kPageDowns = 120;
constexpr int kSettleGroups = 5000;
constexpr double kMonthSeconds = 30.44 * 86400;
constexpr double kNewest = 1.76e9;

struct Options {
  int groups = 10000;
  int months = 48;
  bool json = false;
};

struct Figures {
  std::vector<double> frames;
  std::vector<double> wallFrames;
  double firstPaintMs = 0;
  double relayoutMs = 0;
  double settleMs = -1;
  std::size_t liveCardsMax = 0;
};

std::optional<Options> parse(const QStringList &args) {
  Options options;
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--groups") && i + 1 < args.size()) {
      options.groups = args[++i].toInt();
    } else if (args[i] == QLatin1String("--months") && i + 1 < args.size()) {
      options.months = args[++i].toInt();
    } else if (args[i] == QLatin1String("--json")) {
      options.json = true;
    } else {
      return std::nullopt;
    }
  }
  if (options.groups < 1 || options.months < 1) {
    return std::nullopt;
  }
  return options;
}

/// Newest first, as the date sort lists them, spread evenly over the months.
std::vector<PhotoGroup> makeGroups(const fs::path &root, const Options &options) {
  const double span = options.months * kMonthSeconds;
  return benchgroups::makeGroups(root, options.groups,
                                 [&](int g) { return kNewest - span * g / options.groups; });
}

class Bench {
public:
  /// The store holds the only copy of `groups`, as in the application: a copy kept here
  /// would count towards the peak memory. It gets a fresh copy, laid out in memory in one
  /// go as a scan's result is, rather than the pieces built up among the files.
  Bench(const QString &dataRoot, std::vector<PhotoGroup> groups) {
    auto engine = std::make_shared<LumoraEngine>(dataRoot + QStringLiteral("/analysis-cache.bin"));
    AppStore::Services services;
    services.engine = std::make_shared<LumoraEngineClient>(engine);
    services.qaMarkerDirectory = dataRoot;
    m_store = std::make_unique<AppStore>(std::move(services));
    AppStore::StateAccess access(*m_store);
    access.setGroups(groups);
    groups = {};
    access.setPhase(AppStore::Phase::ready());
    Theme::setScheme(&m_window, ColorScheme::dark);
    new QVBoxLayout(&m_window);
    m_window.layout()->setContentsMargins(0, 0, 0, 0);
    m_window.resize(1150, 780);
    m_window.show();
    QApplication::setActiveWindow(&m_window);
  }

  double firstPaint() {
    const double start = threadMs();
    m_view = new ResultsView(*m_store, nullptr, &m_window);
    m_window.layout()->addWidget(m_view);
    QCoreApplication::processEvents();
    m_window.repaint();
    return threadMs() - start;
  }

  /// One input event, its effects and a synchronous repaint; then the rest of the frame's
  /// time for the event loop (thumbnails arriving, animations).
  void frame(QWidget *target, QEvent &event) {
    QElapsedTimer clock;
    clock.start();
    const double start = threadMs();
    QCoreApplication::sendEvent(target, &event);
    QCoreApplication::processEvents();
    m_window.repaint();
    m_figures.frames.push_back(threadMs() - start);
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    m_figures.wallFrames.push_back(ms);
    m_figures.liveCardsMax = std::max(m_figures.liveCardsMax, m_view->grid().cards().liveCount());
    idle(std::max(0.0, kFrameSeconds * 1000 - ms));
  }

  void idle(double ms) {
    QElapsedTimer clock;
    clock.start();
    while (static_cast<double>(clock.elapsed()) < ms) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    }
  }

  void wheelThrough(int pixels) {
    QWidget *viewport = m_view->grid().viewport();
    const QPointF at(300, 300);
    for (int moved = 0; moved < pixels; moved += kWheelPixelsPerFrame) {
      QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -kWheelPixelsPerFrame),
                        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
      frame(viewport, event);
    }
  }

  void dragRail() {
    MonthIndexRail &rail = m_view->rail();
    const auto send = [&](QEvent::Type type, double y, Qt::MouseButtons buttons) {
      const QPointF at(rail.width() / 2.0, y);
      QMouseEvent event(type, at, rail.mapToGlobal(at), Qt::LeftButton, buttons, {});
      frame(&rail, event);
    };
    send(QEvent::MouseButtonPress, 1, Qt::LeftButton);
    for (int i = 1; i <= kRailSteps; ++i) {
      send(QEvent::MouseMove, rail.height() * i / static_cast<double>(kRailSteps), Qt::LeftButton);
    }
    send(QEvent::MouseButtonRelease, rail.height() - 1, Qt::NoButton);
    idle(600);
  }

  void keys(Qt::Key key, Qt::KeyboardModifiers modifiers, int count) {
    GridKeyView &keyView = m_view->keyView();
    for (int i = 0; i < count; ++i) {
      QKeyEvent event(QEvent::KeyPress, key, modifiers);
      frame(&keyView, event);
      idle(50); // a little of each scroll's animation, painted as it runs
    }
  }

  void run(const Options &options) {
    m_figures.firstPaintMs = firstPaint();
    idle(200);
    wheelThrough(40000);
    m_view->grid().verticalScrollBar()->setValue(0);
    dragRail();
    m_view->grid().verticalScrollBar()->setValue(0);
    idle(100);
    keys(Qt::Key_BracketRight, Qt::ControlModifier, options.months);
    m_store->setFocusedGroupID(m_store->groups().front().id);
    keys(Qt::Key_PageDown, {}, kPageDowns);
    m_figures.settleMs = settleAfterFastScroll();
    m_figures.relayoutMs = relayout();
  }

  /// Jumps over 5,000 groups in a few big steps, then waits for the images in view.
  double settleAfterFastScroll() {
    ResultsGrid &grid = m_view->grid();
    grid.verticalScrollBar()->setValue(0);
    idle(100);
    const double rows =
        std::min<double>(kSettleGroups, m_store->groups().size()) / std::max(1, grid.columnCount());
    const int distance = static_cast<int>(rows * (GroupCard::kHeight + 18));
    for (int step = 1; step <= 20; ++step) {
      grid.verticalScrollBar()->setValue(distance * step / 20);
      QCoreApplication::processEvents();
      m_window.repaint();
    }
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 20000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
      if (visibleCardsLoaded()) {
        return static_cast<double>(clock.nsecsElapsed()) / 1e6;
      }
    }
    return -1;
  }

  bool visibleCardsLoaded() {
    const QRect view = m_view->grid().viewport()->rect();
    for (GroupCard *card : m_view->grid().cards().liveCards()) {
      if (card->geometry().intersects(view) && card->isLoadingImages()) {
        return false;
      }
    }
    return true;
  }

  double relayout() {
    const std::vector<PhotoGroup> &groups = m_store->groups();
    std::vector<PhotoGroup> replaced(groups.rbegin(), groups.rend());
    const double start = threadMs();
    AppStore::StateAccess(*m_store).setGroups(std::move(replaced));
    QCoreApplication::processEvents();
    m_window.repaint();
    return threadMs() - start;
  }

  const Figures &figures() const { return m_figures; }

private:
  std::unique_ptr<AppStore> m_store;
  QWidget m_window;
  ResultsView *m_view = nullptr;
  Figures m_figures;
};

void report(const Options &options, const Figures &f) {
  using benchgroups::percentile;
  const auto over = static_cast<int>(
      std::count_if(f.frames.begin(), f.frames.end(), [](double ms) { return ms > 16.7; }));
  const double peak = benchprocess::peakResidentMB();
  if (options.json) {
    std::printf("{\"groups\":%d,\"frames\":%zu,\"frame_ms_p50\":%.2f,\"frame_ms_p95\":%.2f,"
                "\"frame_ms_p99\":%.2f,\"frames_over_16_7ms\":%d,\"first_paint_ms\":%.1f,"
                "\"relayout_ms\":%.1f,\"live_cards_max\":%zu,\"thumbs_settle_ms\":%.0f,"
                "\"peak_rss_mb\":%.1f}\n",
                options.groups, f.frames.size(), percentile(f.frames, 0.5),
                percentile(f.frames, 0.95), percentile(f.frames, 0.99), over, f.firstPaintMs,
                f.relayoutMs, f.liveCardsMax, f.settleMs, peak);
    return;
  }
  std::printf("results-scroll-bench: %d groups over %d months\n", options.groups, options.months);
  std::printf("frames: %zu, p50 %.2f ms, p95 %.2f ms, p99 %.2f ms (target <= 16.7), %d over "
              "16.7 ms\n",
              f.frames.size(), percentile(f.frames, 0.5), percentile(f.frames, 0.95),
              percentile(f.frames, 0.99), over);
  std::printf("frames, wall clock: p50 %.2f ms, p95 %.2f ms, p99 %.2f ms\n",
              percentile(f.wallFrames, 0.5), percentile(f.wallFrames, 0.95),
              percentile(f.wallFrames, 0.99));
  std::printf("first paint: %.1f ms (target <= 150)\n", f.firstPaintMs);
  std::printf("relayout: %.1f ms (target <= 100)\n", f.relayoutMs);
  std::printf("thumbnails settle: %.0f ms (target <= 800)\n", f.settleMs);
  std::printf("live cards at most: %zu\n", f.liveCardsMax);
  std::printf("peak resident memory: %.1f MB (target <= 350)\n", peak);
}

} // namespace

int main(int argc, char **argv) {
  benchprocess::WidgetBenchProcess process;
  const QTemporaryDir &data = process.data;
  QApplication app(argc, argv);
  const std::optional<Options> options = parse(QCoreApplication::arguments());
  if (!options) {
    std::fprintf(stderr, "usage: results-scroll-bench [--groups N] [--months M] [--json]\n");
    return 2;
  }
  localized::installTranslations();
  Bench bench(data.path(), makeGroups(fs::path(data.path().toStdString()) / "photos", *options));
  bench.run(*options);
  report(*options, bench.figures());
  return 0;
}
