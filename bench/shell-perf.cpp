// shell-perf [--json]: start-up and paint figures of the application window, offscreen, with
// an empty data folder of its own.
//   first_frame_ms       process start to the window's first painted frame (≤ 400)
//   rss_mb               resident memory at that moment
//   gentle_frame_p95_ms  one frame of a screen's gentle entrance at 1150 × 780 (≤ 8)
//   hero_frame_p95_ms    one frame of a hero flight over that screen (≤ 8)

#include "BenchProcess.h"
#include "app/shell/components/GentleAppear.h"
#include "app/shell/components/HeroNamespace.h"
#include "app/shell/components/HeroOverlay.h"
#include "app/shell/components/WindowBackground.h"
#include "app/shell/root/ContentView.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/shell/window/AppSession.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFrames = 90;
constexpr QSize kWindow(1150, 780);

// Milliseconds since the kernel started this process (its start time in clock ticks).
double msSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string content((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::istringstream fields(content.substr(content.rfind(')') + 2));
  std::string field;
  for (int i = 3; i <= 22 && fields >> field; ++i) {
  }
  const double startSeconds = std::stod(field) / static_cast<double>(::sysconf(_SC_CLK_TCK));
  timespec boot{};
  ::clock_gettime(CLOCK_BOOTTIME, &boot);
  return (static_cast<double>(boot.tv_sec) + static_cast<double>(boot.tv_nsec) * 1e-9 -
          startSeconds) *
         1000.0;
}

QPixmap photoLike(int w, int h, int seed) {
  QImage image(w, h, QImage::Format_RGB32);
  QPainter p(&image);
  QLinearGradient g(0, 0, w, h);
  g.setColorAt(0, QColor::fromHsv((seed * 47) % 360, 120, 220));
  g.setColorAt(1, QColor::fromHsv((seed * 47 + 90) % 360, 160, 90));
  p.fillRect(image.rect(), g);
  p.setBrush(QColor(255, 255, 255, 90));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPoint(w / 3, h / 2), w / 5, h / 4);
  return QPixmap::fromImage(image);
}

// A screen like the results grid: twelve photo cards and a few buttons.
QWidget *makeScreen(QWidget *parent) {
  auto *screen = new QWidget(parent);
  auto *grid = new QGridLayout(screen);
  grid->setContentsMargins(24, 24, 24, 24);
  grid->setSpacing(16);
  for (int i = 0; i < 12; ++i) {
    auto *card = new QLabel(screen);
    card->setPixmap(photoLike(240, 160, i));
    card->setFixedSize(240, 160);
    grid->addWidget(card, i / 4, i % 4);
  }
  grid->addWidget(new lumora::ThemedButton(QStringLiteral("选择文件夹…"),
                                           lumora::ThemedButton::Style::prominent),
                  3, 0);
  grid->addWidget(new lumora::ThemedButton(QStringLiteral("重新扫描")), 3, 1);
  return screen;
}

double p95(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return samples[static_cast<size_t>(0.95 * static_cast<double>(samples.size() - 1))];
}

// One frame per step: `step(progress)` moves the effect, which invalidates what it needs,
// and the time is that of painting what was invalidated (as the window does per frame).
template <typename Step> double frameP95(QWidget &host, Step step) {
  std::vector<double> ms;
  for (int i = 0; i < kFrames; ++i) {
    QElapsedTimer clock;
    clock.start();
    step(static_cast<double>(i) / (kFrames - 1));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    QCoreApplication::sendPostedEvents(&host, QEvent::UpdateRequest);
    ms.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
  }
  return p95(ms);
}

struct Figures {
  double firstFrameMs = -1;
  double rssMB = -1;
  double gentleP95 = -1;
  double heroP95 = -1;
};

void measureFrames(Figures &figures) {
  lumora::WindowBackground host;
  host.resize(kWindow);
  auto *screen = makeScreen(&host);
  screen->setGeometry(host.rect());
  host.show();
  QCoreApplication::processEvents();
  lumora::GentleAppear *gentle = lumora::GentleAppear::apply(screen);
  figures.gentleP95 = frameP95(host, [gentle](double p) { gentle->setProgress(p); });
  screen->setGraphicsEffect(nullptr);

  lumora::HeroNamespace hero(&host);
  lumora::HeroOverlay::Flight flight;
  flight.photo = photoLike(800, 560, 3).toImage();
  flight.from = {QRect(280, 200, 240, 160), QRect(280, 200, 240, 160), {16, 16, 0, 0}, {}};
  flight.to = lumora::HeroOverlay::Side{
      QRect(175, 110, 800, 560), QRect(175, 110, 800, 560), {10, 10, 10, 10}, {}};
  hero.overlay()->hold(flight);
  figures.heroP95 = frameP95(host, [&hero](double p) { hero.overlay()->setProgress(p); });
}

void print(const Figures &f, bool json) {
  if (json) {
    std::printf("{\"first_frame_ms\": %.1f, \"rss_mb\": %.1f, \"gentle_frame_p95_ms\": %.2f, "
                "\"hero_frame_p95_ms\": %.2f}\n",
                f.firstFrameMs, f.rssMB, f.gentleP95, f.heroP95);
    return;
  }
  std::printf("first_frame_ms: %.1f\nrss_mb: %.1f\ngentle_frame_p95_ms: %.2f\n"
              "hero_frame_p95_ms: %.2f\n",
              f.firstFrameMs, f.rssMB, f.gentleP95, f.heroP95);
}

} // namespace

int main(int argc, char **argv) {
  bool json = false;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--json") {
      json = true;
    } else {
      std::fprintf(stderr, "usage: shell-perf [--json]\n");
      return 2;
    }
  }
  qputenv("QT_QPA_PLATFORM", qEnvironmentVariable("QT_QPA_PLATFORM", "offscreen").toUtf8());
  QTemporaryDir root;
  benchprocess::isolateDataFolders(root.path());
  QDir(root.path()).mkpath(QStringLiteral("run"));
  QFile::setPermissions(root.path() + QStringLiteral("/run"),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  qputenv("XDG_RUNTIME_DIR", (root.path() + QStringLiteral("/run")).toLocal8Bit());

  Figures figures;
  int fakeArgc = 1;
  lumora::AppSession::Options options;
  // The application's own content, over an empty data folder (the idle screen).
  options.buildContent = [](lumora::AppStore &store, const lumora::ScreenFactory &factory,
                            QWidget *parent) -> QWidget * {
    // Should the window never paint, stop after ten seconds and report -1.
    QTimer::singleShot(10000, qApp, &QCoreApplication::quit);
    return new lumora::ContentView(store, factory, parent);
  };
  options.onFirstFrame = [&figures] {
    figures.firstFrameMs = msSinceProcessStart();
    figures.rssMB = benchprocess::residentMB();
    measureFrames(figures);
    QCoreApplication::quit();
  };
  const int code = lumora::AppSession::run(fakeArgc, argv, std::move(options));
  print(figures, json);
  return code;
}
