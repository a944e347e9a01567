#include "app/selftest/MotionCapture.h"

#include "app/selftest/MotionFrames.h"
#include "app/selftest/SelfTestFailure.h"
#include "app/selftest/SelfTestHarness.h"
#include "app/selftest/ToastProbeView.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <array>

namespace lumora {
namespace {

constexpr int kSettleMs = 1800;
constexpr int kSampleWaitMs = 20;
constexpr std::array kSequenceSchedule{0, 40, 80, 120, 160, 200, 240, 280, 320, 380, 460, 560, 700};
constexpr std::array kToastSchedule{0, 40, 80, 120, 170, 230, 300, 400};
constexpr QSize kToastSize{420, 120};

void waitUntil(const QElapsedTimer &clock, int plannedMs) {
  const auto elapsed = static_cast<int>(clock.elapsed());
  if (plannedMs > elapsed) {
    SelfTestHarness::wait(plannedMs - elapsed);
  }
}

std::vector<motionframes::Thumbnail> thumbnails(const QImage &baseline,
                                                const std::vector<QImage> &samples) {
  std::vector<motionframes::Thumbnail> frames{motionframes::gray64(baseline)};
  for (const QImage &sample : samples) {
    frames.push_back(motionframes::gray64(sample));
  }
  return frames;
}

} // namespace

MotionCapture::MotionCapture(QString framesFolder) : m_folder(std::move(framesFolder)) {}

QImage MotionCapture::captureRaw(QWidget *view, std::optional<QRect> rect) {
  const QRect region = rect.value_or(view->rect());
  if (region.isEmpty()) {
    throw SelfTestFailure{QStringLiteral("cacheDisplay 不可用")};
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  const QPixmap pixmap = view->grab(region);
  if (pixmap.isNull()) {
    throw SelfTestFailure{QStringLiteral("cacheDisplay 不可用")};
  }
  return pixmap.toImage();
}

QRect MotionCapture::sequenceRegion(QSize size) {
  const int w = std::min(240, size.width());
  const int h = std::min(200, size.height());
  return {(size.width() - w) / 2, (size.height() - h) / 2, w, h};
}

MotionSegment MotionCapture::captureSequence(const QString &name, QWidget *hosting,
                                             const std::function<void()> &action) {
  SelfTestHarness::wait(kSettleMs);
  const QRect region = sequenceRegion(hosting->size());
  const QImage baseline = captureRaw(hosting, region);
  QElapsedTimer clock;
  clock.start();
  action();
  SelfTestHarness::wait(4);
  std::vector<QImage> samples;
  std::vector<int> times;
  for (int planned : kSequenceSchedule) {
    waitUntil(clock, planned);
    SelfTestHarness::wait(kSampleWaitMs);
    samples.push_back(captureRaw(hosting, region));
    times.push_back(static_cast<int>(clock.elapsed()));
  }
  motionframes::writeFrames(m_folder, name, samples);
  try {
    motionframes::writeFrames(m_folder, name + QStringLiteral("-final"), {captureRaw(hosting)});
  } catch (const SelfTestFailure &) {
    // The final frame is for people to look at; without it the figures still stand.
  }
  motionframes::writeMotionMeta(m_folder, name, times);
  MotionSegment segment = motionframes::figures(name, thumbnails(baseline, samples));
  times.insert(times.begin(), 0);
  const auto closing = static_cast<std::size_t>(segment.settleIndex + 1);
  segment.settleMs = closing < times.size() ? times[closing] : times.back();
  return segment;
}

MotionSegment MotionCapture::captureToastProbe(AppStore &store) {
  auto *probe = new ToastProbeView(store);
  probe->setFixedSize(kToastSize);
  QWidget *window = SelfTestHarness::hostWindow(probe, QRect(QPoint(120, 120), kToastSize));
  SelfTestHarness::wait(350);
  const QImage baseline = captureRaw(probe);
  QElapsedTimer clock;
  clock.start();
  probe->setToastVisible(true);
  std::vector<QImage> samples;
  for (int planned : kToastSchedule) {
    waitUntil(clock, planned);
    SelfTestHarness::spin(6);
    samples.push_back(captureRaw(probe));
  }
  motionframes::writeFrames(m_folder, QStringLiteral("toast-probe"), samples);
  MotionSegment segment =
      motionframes::figures(QStringLiteral("toast"), thumbnails(baseline, samples));
  const auto closing = static_cast<std::size_t>(segment.settleIndex + 1);
  segment.settleMs =
      closing < kToastSchedule.size() ? kToastSchedule[closing] : kToastSchedule.back();
  window->hide();
  return segment;
}

} // namespace lumora
