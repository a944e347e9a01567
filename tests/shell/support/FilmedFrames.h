#pragma once

#include "tests/store/support/StoreTestSupport.h"

#include <QAnimationDriver>
#include <QImage>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

/// Films the window as the screen shows it, frame by frame, under a hand-driven clock.
namespace filmtest {

/// Drives every Qt animation by hand while it lives: they advance only when told, so a
/// loaded machine films the same frames as an idle one.
class ManualClock : public QAnimationDriver {
public:
  ManualClock() { install(); }
  ~ManualClock() override { uninstall(); }
  ManualClock(const ManualClock &) = delete;
  ManualClock &operator=(const ManualClock &) = delete;

  [[nodiscard]] qint64 elapsed() const override { return m_ms; }
  void advanceBy(int ms) {
    m_ms += ms;
    advance();
  }

private:
  qint64 m_ms = 0;
};

/// The window's composed picture once its pending paints are done: what the backing store
/// holds, so widgets that forget to repaint what lies beneath them show as they would.
inline QImage composed(QWidget *window) {
  storetest::spin(25);
  return window->screen()
      ->grabWindow(window->winId())
      .toImage()
      .convertToFormat(QImage::Format_RGB32);
}

/// The sum of the absolute channel differences of two frames over `band`.
inline double difference(const QImage &a, const QImage &b, const QRect &band) {
  double sum = 0;
  const QRect area = band & a.rect() & b.rect();
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const auto *ra = reinterpret_cast<const QRgb *>(a.constScanLine(y));
    const auto *rb = reinterpret_cast<const QRgb *>(b.constScanLine(y));
    for (int x = area.left(); x <= area.right(); ++x) {
      sum += std::abs(qRed(ra[x]) - qRed(rb[x])) + std::abs(qGreen(ra[x]) - qGreen(rb[x])) +
             std::abs(qBlue(ra[x]) - qBlue(rb[x]));
    }
  }
  return sum;
}

/// The contrast of `frame` over `band`: the standard deviation of its grey levels.
inline double contrast(const QImage &frame, const QRect &band) {
  double sum = 0;
  double squares = 0;
  double count = 0;
  const QRect area = band & frame.rect();
  for (int y = area.top(); y <= area.bottom(); y += 2) {
    const auto *row = reinterpret_cast<const QRgb *>(frame.constScanLine(y));
    for (int x = area.left(); x <= area.right(); x += 2) {
      const double grey = qGray(row[x]);
      sum += grey;
      squares += grey * grey;
      count += 1;
    }
  }
  if (count == 0) {
    return 0;
  }
  const double mean = sum / count;
  return std::sqrt(std::max(0.0, squares / count - mean * mean));
}

/// How far `frame` lies from the nearest blend of `first` and `last` over `band`: the mean
/// difference per pixel and channel (0…255) from (1 − a)·first + a·last at the best a.
inline double blendResidual(const QImage &frame, const QImage &first, const QImage &last,
                            const QRect &band) {
  const QRect area = band & frame.rect() & first.rect() & last.rect();
  const auto channels = [](QRgb c) {
    return std::array<double, 3>{double(qRed(c)), double(qGreen(c)), double(qBlue(c))};
  };
  const auto each = [&](const auto &visit) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
      const auto *rf = reinterpret_cast<const QRgb *>(frame.constScanLine(y));
      const auto *ra = reinterpret_cast<const QRgb *>(first.constScanLine(y));
      const auto *rb = reinterpret_cast<const QRgb *>(last.constScanLine(y));
      for (int x = area.left(); x <= area.right(); ++x) {
        const auto f = channels(rf[x]);
        const auto a = channels(ra[x]);
        const auto b = channels(rb[x]);
        for (int c = 0; c < 3; ++c) {
          visit(f[c], a[c], b[c]);
        }
      }
    }
  };
  double along = 0;
  double length = 0;
  each([&](double f, double a, double b) {
    along += (f - a) * (b - a);
    length += (b - a) * (b - a);
  });
  const double mix = length > 0 ? std::clamp(along / length, 0.0, 1.0) : 0.0;
  double residual = 0;
  double count = 0;
  each([&](double f, double a, double b) {
    residual += std::abs(f - (a + mix * (b - a)));
    count += 1;
  });
  return count > 0 ? residual / count : 0;
}

/// How far `frame` has come from `first` towards `last` over `band`: 0 at the first, 1 at
/// the last (more for a frame that differs from both).
inline double progressOf(const QImage &frame, const QImage &first, const QImage &last,
                         const QRect &band) {
  const double total = difference(first, last, band);
  return total > 0 ? difference(first, frame, band) / total : 0;
}

/// The largest change from one frame to the next as a share of the whole film's change.
inline double largestStep(const std::vector<QImage> &frames, const QRect &band) {
  if (frames.size() < 2) {
    return 0;
  }
  const double total = difference(frames.front(), frames.back(), band);
  double largest = 0;
  for (std::size_t i = 1; i < frames.size(); ++i) {
    largest = std::max(largest, difference(frames[i - 1], frames[i], band) / total);
  }
  return largest;
}

/// `largestStep` for each column band of `width` pixels across `area` that changes at all
/// (by a fiftieth of the most changing band or more): the largest share any band takes.
inline double largestColumnStep(const std::vector<QImage> &frames, const QRect &area, int width) {
  std::vector<QRect> bands;
  for (int x = area.left(); x <= area.right(); x += width) {
    bands.emplace_back(x, area.top(), std::min(width, area.right() + 1 - x), area.height());
  }
  double most = 0;
  for (const QRect &band : bands) {
    most = std::max(most, difference(frames.front(), frames.back(), band));
  }
  double largest = 0;
  for (const QRect &band : bands) {
    if (difference(frames.front(), frames.back(), band) >= most / 50) {
      largest = std::max(largest, largestStep(frames, band));
    }
  }
  return largest;
}

} // namespace filmtest
