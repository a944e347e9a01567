// preview-latency PHOTOS [--json]: how fast the photo preview shows photos, over the real
// store and engine (a throw-away data folder) and the real preview offscreen at 1920 × 1080.
//
//   decode_ms           the engine's large-image decode alone (2048 px), photo by photo
//   open_ms             from `openPreview` to the first paint with the image (cache empty)
//   step_prefetched_ms  a step to the prefetched next photo, to its first painted frame
//   zoom_frame_ms       one frame painted at a new pinch zoom
//   pan_frame_ms        one frame painted at a new pan offset at 2×
//   rss_mb              resident memory after stepping through up to 200 photos
//   rss_start_mb        resident memory before the first preview opened
#include "WidgetBenchProcess.h"

#include "app/detail/PhotoPreviewView.h"
#include "app/detail/PreviewStage.h"
#include "app/store/AppStore.h"
#include "app/store/AppStoreStateAccess.h"
#include "app/store/services/LumoraEngineClient.h"
#include "app/store/texts/Localized.h"
#include "engine/core/LumoraEngine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace lumora;

namespace {

constexpr int kMaxPhotos = 200;
constexpr int kOpenSamples = 20;
constexpr int kFrameSamples = 120;
constexpr QSize kWindow(1920, 1080);

struct Stats {
  double p50 = 0;
  double p95 = 0;
};

Stats stats(std::vector<double> samples) {
  if (samples.empty()) {
    return {};
  }
  std::sort(samples.begin(), samples.end());
  const auto at = [&](double q) {
    return samples[std::min(samples.size() - 1,
                            static_cast<std::size_t>(q * static_cast<double>(samples.size())))];
  };
  return {at(0.5), at(0.95)};
}

bool waitFor(const std::function<bool()> &done, int timeoutMs = 30000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.hasExpired(timeoutMs)) {
      return false;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::usleep(200);
  }
  return true;
}

/// Milliseconds from `t0` until the stage paints a frame with the image.
double untilImagePainted(PreviewStage *stage, double t0) {
  bool painted = false;
  const QMetaObject::Connection connection =
      QObject::connect(stage, &PreviewStage::imagePainted, [&] { painted = true; });
  waitFor([&] { return painted; });
  QObject::disconnect(connection);
  return (benchprocess::now() - t0) * 1000;
}

double frameMs(QWidget &widget) {
  const double t0 = benchprocess::now();
  widget.repaint();
  return (benchprocess::now() - t0) * 1000;
}

void sendMouse(QWidget *widget, QEvent::Type type, QPoint at) {
  const Qt::MouseButtons buttons =
      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

struct Figures {
  std::size_t photos = 0;
  Stats decode, open, step, zoom, pan;
  double rssStart = 0;
  double rss = 0;
};

/// The preview over one group of the scanned photos, in a 1920 × 1080 window.
class Bench {
public:
  Bench(AppStore &store, PhotoGroup group) : m_store(store), m_group(std::move(group)) {
    m_window.resize(kWindow);
    m_window.show();
  }

  [[nodiscard]] std::size_t count() const { return m_group.items.size(); }

  // The engine's decode alone, at the preview's size.
  std::vector<double> decodes() {
    std::vector<double> samples;
    for (std::size_t i = 0; i < std::min<std::size_t>(kOpenSamples, count()); ++i) {
      const double t0 = benchprocess::now();
      (void)m_store.engine().previewImage(m_group.items[i], PhotoPreviewView::kMaxPixel);
      samples.push_back((benchprocess::now() - t0) * 1000);
    }
    return samples;
  }

  // Each opening starts from an empty cache, as for a photo never shown before.
  std::vector<double> opens() {
    std::vector<double> samples;
    for (std::size_t i = 0; i < std::min<std::size_t>(kOpenSamples, count()); ++i) {
      // The last preview's prefetches finish first: a decode cannot be stopped half-way.
      if (m_preview) {
        settleNeighbours(i - 1);
      }
      close();
      m_store.previewCache().clear();
      const double t0 = benchprocess::now();
      open(i);
      samples.push_back(untilImagePainted(m_preview->stage(), t0));
    }
    return samples;
  }

  // Steps forward once the next photo is in the cache; walks up to 200 photos.
  std::vector<double> steps() {
    close();
    open(0);
    untilImagePainted(m_preview->stage(), benchprocess::now());
    std::vector<double> samples;
    for (std::size_t i = 1; i < count(); ++i) {
      waitFor([&] { return isCached(i); });
      const double t0 = benchprocess::now();
      m_store.previewStep(1);
      samples.push_back(untilImagePainted(m_preview->stage(), t0));
    }
    return samples;
  }

  // Pinch frames between 1× and 4×, then pan frames at 2×.
  std::pair<std::vector<double>, std::vector<double>> frames() {
    PreviewStage *stage = m_preview->stage();
    std::vector<double> zoom;
    for (int i = 0; i < kFrameSamples; ++i) {
      stage->pinch(1.0 + 3.0 * (i % 40) / 40.0, false);
      zoom.push_back(frameMs(*stage));
    }
    stage->pinch(1.0, true);
    stage->toggleZoom();
    waitFor([] { return false; }, 700);
    std::vector<double> pan;
    const QPoint centre = stage->rect().center();
    sendMouse(stage, QEvent::MouseButtonPress, centre);
    for (int i = 0; i < kFrameSamples; ++i) {
      sendMouse(stage, QEvent::MouseMove, centre + QPoint(5 + (i * 7) % 400, (i * 3) % 200));
      pan.push_back(frameMs(*stage));
    }
    sendMouse(stage, QEvent::MouseButtonRelease, centre);
    return {zoom, pan};
  }

  void close() { m_preview.reset(); }

private:
  bool isCached(std::size_t index) {
    return m_store.previewCache().image(m_group.items[index % count()], PhotoPreviewView::kMaxPixel,
                                        m_preview.get(), [](const ThumbnailPtr &) {}) != nullptr;
  }

  void settleNeighbours(std::size_t index) {
    waitFor([&] { return isCached(index + 1) && isCached(index + count() - 1); });
  }

  void open(std::size_t index) {
    m_store.openPreview(m_group, m_group.items[index].id);
    m_preview = std::make_unique<PhotoPreviewView>(m_store, &m_window);
    m_preview->setGeometry(m_window.rect());
    m_preview->show();
  }

  AppStore &m_store;
  PhotoGroup m_group;
  QWidget m_window;
  std::unique_ptr<PhotoPreviewView> m_preview;
};

void printStats(const char *name, const Stats &s, bool json, bool last = false) {
  if (json) {
    std::printf("\"%s\":{\"p50\":%.1f,\"p95\":%.1f}%s", name, s.p50, s.p95, last ? "" : ",");
  } else {
    std::printf("%-20s p50 %7.1f ms   p95 %7.1f ms\n", name, s.p50, s.p95);
  }
}

void print(const Figures &f, bool json) {
  if (json) {
    std::printf("{\"photos\":%zu,", f.photos);
  } else {
    std::printf("photos %zu\n", f.photos);
  }
  printStats("decode_ms", f.decode, json);
  printStats("open_ms", f.open, json);
  printStats("step_prefetched_ms", f.step, json);
  printStats("zoom_frame_ms", f.zoom, json);
  printStats("pan_frame_ms", f.pan, json);
  if (json) {
    std::printf("\"rss_mb\":%.0f,\"rss_start_mb\":%.0f}\n", f.rss, f.rssStart);
  } else {
    std::printf("rss %.0f MB (%.0f MB before the first preview)\n", f.rss, f.rssStart);
  }
}

/// Scans `photos` through the store and the real engine; false when it does not end ready.
bool scan(AppStore &store) {
  store.chooseFolder();
  return waitFor([&] { return store.phase() == AppStore::Phase::ready(); }, 30 * 60 * 1000);
}

} // namespace

int main(int argc, char **argv) {
  benchprocess::WidgetBenchProcess process;
  const QTemporaryDir &data = process.data;
  QApplication app(argc, argv);
  QString photos;
  bool json = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--json") {
      json = true;
    } else if (photos.isEmpty() && arg.rfind("--", 0) != 0) {
      photos = QString::fromLocal8Bit(argv[i]);
    } else {
      std::fprintf(stderr, "usage: preview-latency PHOTOS [--json]\n");
      return 2;
    }
  }
  if (photos.isEmpty()) {
    std::fprintf(stderr, "usage: preview-latency PHOTOS [--json]\n");
    return 2;
  }
  localized::installTranslations();
  auto engine = std::make_shared<LumoraEngine>(data.filePath(QStringLiteral("analysis-cache.bin")));
  AppStore::Services services;
  services.engine = std::make_shared<LumoraEngineClient>(engine);
  services.qaMarkerDirectory = data.path();
  services.pickFolder = [photos](const FolderPickerRequest &,
                                 std::function<void(std::optional<QUrl>)> done) {
    done(QUrl::fromLocalFile(photos));
  };
  AppStore store(std::move(services));
  if (!scan(store) || store.items().size() < 2) {
    std::fprintf(stderr, "preview-latency: the scan of %s gave fewer than 2 photos\n",
                 qPrintable(photos));
    return 1;
  }
  // One group of the first photos, so that the preview can step through all of them.
  std::vector<PhotoItem> items = store.items();
  items.resize(std::min<std::size_t>(items.size(), kMaxPhotos));
  PhotoGroup group(items.front().id, items);
  AppStore::StateAccess(store).setGroups({group});

  Figures figures;
  figures.photos = items.size();
  Bench bench(store, group);
  figures.rssStart = benchprocess::residentMB();
  figures.decode = stats(bench.decodes());
  figures.open = stats(bench.opens());
  figures.step = stats(bench.steps());
  const auto [zoom, pan] = bench.frames();
  figures.zoom = stats(zoom);
  figures.pan = stats(pan);
  figures.rss = benchprocess::residentMB();
  bench.close();
  print(figures, json);
  return 0;
}
