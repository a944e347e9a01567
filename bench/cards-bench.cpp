// cards-bench [--cards N] [--json]: the group card's cost as a pooled grid uses it, over N
// (10,000) synthetic groups of 2–20 photos hard-linked to 48 generated JPEGs, so every
// thumbnail is a real decode under its own id.
//
// - bind_paint: one card re-pointed to each group (`setGroup`) and painted at once, with
//   the thumbnail cache cold (every group; the decodes queue up as in a fast scroll) and
//   warm (the first 1,000 groups, their thumbnails loaded beforehand, window by window);
// - hover_frame: each animation frame of hovering over and leaving 30 cards, painted;
// - select_all: entering selection mode over all groups with the summary bar and a screen
//   of 24 cards shown, then "select all" until the window has repainted once.
// Targets: bind_paint p99 <= 2000 us, hover_frame p99 <= 1000 us, select_all <= 30 ms.
// The figures are the GUI thread's processor time, so that a machine busy with other work
// does not count; the wall times are printed beside them.

#include "BenchGroups.h"
#include "WidgetBenchProcess.h"

#include "app/results/GroupCard.h"
#include "app/results/SummaryBar.h"
#include "app/shell/theme/Theme.h"
#include "app/store/AppStoreStateAccess.h"
#include "app/store/services/LumoraEngineClient.h"
#include "app/store/texts/Localized.h"
#include "engine/core/LumoraEngine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <vector>

using namespace lumora;
namespace fs = std::filesystem;

namespace {

constexpr int kWarmGroups = 1000;
constexpr int kWarmWindow = 50;
constexpr int kHoverCards = 30;
constexpr int kScreenCards = 24;
constexpr int kCardWidth = 356;

struct Options {
  int cards = 10000;
  bool json = false;
};

// The GUI thread's processor time in microseconds. The figures count the work a card costs
// that thread, not the time other processes on a busy machine take from it; the wall time
// is printed beside them.
double threadMicros() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

/// Samples in microseconds: the GUI thread's processor time and the wall time.
struct Timing {
  std::vector<double> cpu;
  std::vector<double> wall;

  void append(const Timing &other) {
    cpu.insert(cpu.end(), other.cpu.begin(), other.cpu.end());
    wall.insert(wall.end(), other.wall.begin(), other.wall.end());
  }
};

/// Measures one stretch of GUI-thread work.
class Stopwatch {
public:
  Stopwatch() : m_cpu(threadMicros()) { m_wall.start(); }
  void addTo(Timing &timing) const {
    timing.cpu.push_back(threadMicros() - m_cpu);
    timing.wall.push_back(static_cast<double>(m_wall.nsecsElapsed()) / 1000.0);
  }

private:
  double m_cpu;
  QElapsedTimer m_wall;
};

struct Figures {
  Timing cold;
  Timing warm;
  Timing hover;
  Timing selectAll;
};

} // namespace

namespace {

/// The store over the generated groups, and the window the cards are shown in.
class Bench {
public:
  Bench(const QString &dataRoot, std::vector<PhotoGroup> groups) : m_groups(std::move(groups)) {
    auto engine = std::make_shared<LumoraEngine>(dataRoot + QStringLiteral("/analysis-cache.bin"));
    AppStore::Services services;
    services.engine = std::make_shared<LumoraEngineClient>(engine);
    services.qaMarkerDirectory = dataRoot;
    m_store = std::make_unique<AppStore>(std::move(services));
    std::vector<PhotoItem> items;
    for (const PhotoGroup &group : m_groups) {
      items.insert(items.end(), group.items.begin(), group.items.end());
    }
    AppStore::StateAccess access(*m_store);
    access.setItems(std::move(items));
    access.setGroups(m_groups);
    access.setPhase(AppStore::Phase::ready());
    Theme::setScheme(&m_window, ColorScheme::dark);
    m_window.resize(1150, 780);
    m_window.show();
  }

  /// Binds and paints one card per group of the range.
  Timing bindAndPaint(GroupCard &card, std::size_t first, std::size_t last) {
    Timing timing;
    QPixmap canvas(card.size());
    for (std::size_t i = first; i < last; ++i) {
      const Stopwatch watch;
      card.setGroup(m_groups[i], static_cast<int>(i));
      card.finishAnimations();
      card.render(&canvas);
      watch.addTo(timing);
      QCoreApplication::processEvents();
    }
    return timing;
  }

  Timing cold(GroupCard &card) {
    m_store->thumbnails().clearCache();
    Timing timing = bindAndPaint(card, 0, m_groups.size());
    m_store->thumbnails().clearCache();
    return timing;
  }

  Timing warm(GroupCard &card) {
    Timing timing;
    const std::size_t end = std::min<std::size_t>(m_groups.size(), kWarmGroups);
    for (std::size_t first = 0; first < end; first += kWarmWindow) {
      const std::size_t last = std::min(end, first + kWarmWindow);
      preload(first, last);
      timing.append(bindAndPaint(card, first, last));
    }
    return timing;
  }

  Timing hover(GroupCard &card);
  Timing selectAll();

  QWidget &window() { return m_window; }
  AppStore &store() { return *m_store; }

private:
  /// Decodes the thumbnails a card of each group asks for and waits until they are cached.
  void preload(std::size_t first, std::size_t last) {
    int pending = 0;
    QObject context;
    for (std::size_t i = first; i < last; ++i) {
      const std::vector<PhotoItem> &items = m_groups[i].items;
      for (std::size_t k = 0; k < std::min<std::size_t>(items.size(), 7); ++k) {
        const int size = k == 0 ? 640 : 160;
        if (!m_store->thumbnails().thumbnail(items[k], size, &context,
                                             [&pending](const ThumbnailPtr &) { --pending; })) {
          ++pending;
        }
      }
    }
    QElapsedTimer clock;
    clock.start();
    while (pending > 0 && clock.elapsed() < 60000) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
  }

  std::vector<PhotoGroup> m_groups;
  std::unique_ptr<AppStore> m_store;
  QWidget m_window;
};

// Every frame of the hover spring in and out, for a few cards.
Timing Bench::hover(GroupCard &card) {
  Timing timing;
  QPixmap canvas(card.size());
  const QPoint inside = card.cardRect().center();
  for (int i = 0; i < kHoverCards && i < static_cast<int>(m_groups.size()); ++i) {
    card.setGroup(m_groups[static_cast<std::size_t>(i)], i);
    card.finishAnimations();
    for (const bool enter : {true, false}) {
      if (enter) {
        QEnterEvent event(inside, card.mapTo(&m_window, inside), card.mapToGlobal(inside));
        QApplication::sendEvent(&card, &event);
      } else {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(&card, &event);
      }
      while (card.isAnimating()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 16);
        const Stopwatch watch;
        card.render(&canvas);
        watch.addTo(timing);
      }
    }
  }
  return timing;
}

// Select all over every group, with the bar and a screen of cards following the store.
Timing Bench::selectAll() {
  auto *bar = new SummaryBar(*m_store, &m_window);
  bar->setGeometry(0, 0, m_window.width(), 52);
  bar->show();
  for (int i = 0; i < kScreenCards; ++i) {
    auto *card = new GroupCard(*m_store, nullptr, &m_window);
    card->setCellGeometry(
        QRect(20 + (i % 3) * 374, 60 + (i / 3) * 363, kCardWidth, GroupCard::kHeight));
    card->setGroup(m_groups[static_cast<std::size_t>(i) % m_groups.size()], i);
    card->show();
    card->finishAnimations();
  }
  m_store->enterSelectionMode();
  QCoreApplication::processEvents();
  m_window.repaint();
  Timing timing;
  const Stopwatch watch;
  m_store->selectAllGroups();
  QCoreApplication::processEvents();
  m_window.repaint();
  watch.addTo(timing);
  return timing;
}

std::optional<Options> parse(const QStringList &args) {
  Options options;
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--cards") && i + 1 < args.size()) {
      options.cards = args[++i].toInt();
    } else if (args[i] == QLatin1String("--json")) {
      options.json = true;
    } else {
      return std::nullopt;
    }
  }
  if (options.cards < 1) {
    return std::nullopt;
  }
  return options;
}

void printLine(const char *name, const Timing &timing, const char *target) {
  std::printf("%s: p50 %.0f us, p99 %.0f us of GUI-thread time (wall p50 %.0f us, p99 %.0f us; "
              "%zu samples)%s\n",
              name, benchgroups::percentile(timing.cpu, 0.5),
              benchgroups::percentile(timing.cpu, 0.99), benchgroups::percentile(timing.wall, 0.5),
              benchgroups::percentile(timing.wall, 0.99), timing.cpu.size(), target);
}

void report(const Options &options, const Figures &figures) {
  Timing all = figures.cold;
  all.append(figures.warm);
  const double peak = benchprocess::peakResidentMB();
  const double selectMs = figures.selectAll.cpu.empty() ? 0 : figures.selectAll.cpu[0] / 1000.0;
  if (options.json) {
    std::printf("{\"cards\":%d,\"bind_paint_us_p50\":%.0f,\"bind_paint_us_p99\":%.0f,"
                "\"hover_frame_us_p99\":%.0f,\"select_all_ms\":%.2f,\"peak_rss_mb\":%.1f}\n",
                options.cards, benchgroups::percentile(all.cpu, 0.5),
                benchgroups::percentile(all.cpu, 0.99),
                benchgroups::percentile(figures.hover.cpu, 0.99), selectMs, peak);
    return;
  }
  std::printf("cards: %d groups\n", options.cards);
  printLine("bind+paint cold", figures.cold, "");
  printLine("bind+paint warm", figures.warm, "");
  printLine("bind+paint all", all, " (target p99 <= 2000 us)");
  printLine("hover frame", figures.hover, " (target p99 <= 1000 us)");
  std::printf("select all: %.2f ms of GUI-thread time (wall %.2f ms) (target <= 30 ms)\n", selectMs,
              figures.selectAll.wall.empty() ? 0 : figures.selectAll.wall[0] / 1000.0);
  std::printf("peak resident memory: %.1f MB\n", peak);
}

} // namespace

int main(int argc, char **argv) {
  benchprocess::WidgetBenchProcess process;
  const QTemporaryDir &data = process.data;
  QApplication app(argc, argv);
  const std::optional<Options> options = parse(QCoreApplication::arguments());
  if (!options) {
    std::fprintf(stderr, "usage: cards-bench [--cards N] [--json]\n");
    return 2;
  }
  localized::installTranslations();
  // One group every seven hours, best photo first.
  Bench bench(data.path(), benchgroups::makeGroups(
                               fs::path(data.path().toStdString()) / "photos", options->cards,
                               [](int group) { return 1.6e9 + group * 3600.0 * 7; }));
  auto *card = new GroupCard(bench.store(), nullptr, &bench.window());
  card->setCellGeometry(QRect(20, 60, kCardWidth, GroupCard::kHeight));
  card->show();
  // As in the grid, the keyboard focus is elsewhere, not on a card's button.
  if (QWidget *focused = QApplication::focusWidget()) {
    focused->clearFocus();
  }
  Figures figures;
  figures.cold = bench.cold(*card);
  figures.warm = bench.warm(*card);
  figures.hover = bench.hover(*card);
  delete card;
  figures.selectAll = bench.selectAll();
  report(*options, figures);
  return 0;
}
