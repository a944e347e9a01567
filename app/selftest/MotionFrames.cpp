#include "app/selftest/MotionFrames.h"

#include "app/selftest/SelfTestReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <map>

namespace lumora::motionframes {
namespace {

constexpr int kSide = 64;
constexpr double kMotionThreshold = 0.5;
constexpr double kSettleThreshold = 0.2;
constexpr double kBlankVariance = 4.0;

std::map<QString, std::vector<int>> &recordedTimes() {
  static std::map<QString, std::vector<int>> times;
  return times;
}

} // namespace

Thumbnail gray64(const QImage &frame) {
  QImage canvas(kSide, kSide, QImage::Format_RGB32);
  canvas.fill(Qt::white);
  {
    QPainter painter(&canvas);
    painter.drawImage(QRect(0, 0, kSide, kSide), frame);
  }
  const QImage grey = canvas.convertToFormat(QImage::Format_Grayscale8);
  Thumbnail values(kSide * kSide, 0);
  for (int y = 0; y < kSide; ++y) {
    const uchar *row = grey.constScanLine(y);
    std::copy(row, row + kSide, values.begin() + y * kSide);
  }
  return values;
}

double diff(const Thumbnail &a, const Thumbnail &b) {
  if (a.empty()) {
    return 0;
  }
  const std::size_t n = std::min(a.size(), b.size());
  long long sum = 0;
  for (std::size_t i = 0; i < n; ++i) {
    sum += std::abs(int(a[i]) - int(b[i]));
  }
  return double(sum) / double(a.size()) / 255.0 * 100.0;
}

double variance(const Thumbnail &thumbnail) {
  if (thumbnail.empty()) {
    return 0;
  }
  double mean = 0;
  for (std::uint8_t value : thumbnail) {
    mean += value;
  }
  mean /= double(thumbnail.size());
  double squares = 0;
  for (std::uint8_t value : thumbnail) {
    squares += (value - mean) * (value - mean);
  }
  return squares / double(thumbnail.size());
}

MotionSegment figures(const QString &name, const std::vector<Thumbnail> &frames) {
  MotionSegment segment;
  segment.name = name;
  for (std::size_t i = 0; i + 1 < frames.size(); ++i) {
    const double d = diff(frames[i], frames[i + 1]);
    segment.animated += d > kMotionThreshold ? 1 : 0;
    if (d >= kSettleThreshold) {
      segment.settleIndex = int(i);
    }
    if (d > segment.maxJump) {
      segment.maxJump = d;
      segment.maxIndex = int(i);
    }
  }
  for (const Thumbnail &frame : frames) {
    segment.blank += variance(frame) < kBlankVariance ? 1 : 0;
  }
  return segment;
}

void writeFrames(const QString &folder, const QString &stem, const std::vector<QImage> &frames) {
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const QString path = folder + QLatin1Char('/') + stem + QLatin1Char('-') +
                         QString::number(i).rightJustified(2, QLatin1Char('0')) +
                         QStringLiteral(".png");
    (void)frames[i].save(path, "PNG");
  }
}

void writeMotionMeta(const QString &folder, const QString &name, const std::vector<int> &times) {
  recordedTimes()[name] = times;
  QJsonObject all;
  for (const auto &[segment, list] : recordedTimes()) {
    QJsonArray values;
    for (int t : list) {
      values.append(t);
    }
    all.insert(segment, values);
  }
  (void)selftestreport::writeAtomically(folder + QStringLiteral("/motion.json"),
                                        QJsonDocument(all).toJson(QJsonDocument::Indented));
}

} // namespace lumora::motionframes
