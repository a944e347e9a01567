#include "app/results/CardShadow.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <cmath>
#include <qdrawutil.h>
#include <vector>

namespace lumora::CardShadow {
namespace {

// One pass of a running-sum box blur of width 2 * half + 1 over the alpha of one line.
void boxBlurLine(uchar *alpha, int count, int stride, int half, std::vector<int> &buffer) {
  buffer.assign(static_cast<std::size_t>(count), 0);
  int sum = 0;
  const int width = 2 * half + 1;
  for (int i = -half; i < count + half; ++i) {
    if (i + half < count && i + half >= 0) sum += alpha[(i + half) * stride];
    if (i - half - 1 >= 0 && i - half - 1 < count) sum -= alpha[(i - half - 1) * stride];
    if (i >= 0 && i < count) buffer[static_cast<std::size_t>(i)] = sum / width;
  }
  for (int i = 0; i < count; ++i) {
    alpha[i * stride] = static_cast<uchar>(buffer[static_cast<std::size_t>(i)]);
  }
}

// Three box passes each way approximate a Gaussian of deviation `sigma`.
void gaussianAlpha(QImage &image, qreal sigma) {
  const int half = std::max(1, static_cast<int>(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2)));
  std::vector<int> buffer;
  uchar *bits = image.bits();
  const int stride = static_cast<int>(image.bytesPerLine());
  for (int pass = 0; pass < 3; ++pass) {
    for (int y = 0; y < image.height(); ++y) {
      boxBlurLine(bits + y * stride, image.width(), 1, half, buffer);
    }
    for (int x = 0; x < image.width(); ++x) {
      boxBlurLine(bits + x, image.height(), stride, half, buffer);
    }
  }
}

// A blurred black rounded square whose corners and one-pixel middle make the nine patches.
QPixmap ninePatch(int radius, qreal cornerRadius) {
  const int margin = reach(radius);
  const int corner = margin + static_cast<int>(std::ceil(cornerRadius));
  const int side = 2 * corner + 1;
  QImage alpha(side, side, QImage::Format_Alpha8);
  alpha.fill(0);
  {
    QPainter painter(&alpha);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawRoundedRect(QRectF(margin, margin, side - 2 * margin, side - 2 * margin),
                            cornerRadius, cornerRadius);
  }
  if (radius > 0) {
    gaussianAlpha(alpha, radius / 2.0);
  }
  QImage black(side, side, QImage::Format_ARGB32_Premultiplied);
  black.fill(Qt::black);
  QPainter painter(&black);
  painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
  painter.drawImage(0, 0, alpha);
  painter.end();
  return QPixmap::fromImage(black);
}

const QPixmap &cachedPatch(int radius, qreal cornerRadius) {
  static QHash<QPair<int, int>, QPixmap> patches;
  const QPair<int, int> key(radius, static_cast<int>(cornerRadius * 4));
  auto found = patches.find(key);
  if (found == patches.end()) {
    found = patches.insert(key, ninePatch(radius, cornerRadius));
  }
  return *found;
}

} // namespace

int reach(qreal radius) { return static_cast<int>(std::ceil(std::max<qreal>(radius, 0))); }

void paint(QPainter &painter, const QRectF &card, qreal cornerRadius, qreal opacity, qreal radius,
           qreal offsetY) {
  if (opacity <= 0 || card.isEmpty()) {
    return;
  }
  const int rounded = static_cast<int>(std::lround(std::max<qreal>(radius, 0)));
  const QPixmap &patch = cachedPatch(rounded, cornerRadius);
  const int margin = reach(rounded);
  const int corner = (patch.width() - 1) / 2;
  const QRect target =
      card.translated(0, offsetY).toAlignedRect().adjusted(-margin, -margin, margin, margin);
  const QMargins slices(corner, corner, corner, corner);
  painter.save();
  painter.setOpacity(painter.opacity() * std::min<qreal>(opacity, 1));
  qDrawBorderPixmap(&painter, target, slices, patch, patch.rect(), slices);
  painter.restore();
}

} // namespace lumora::CardShadow
