#include "app/results/CardShadow.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <cmath>
#include <map>
#include <qdrawutil.h>
#include <tuple>
#include <vector>

namespace lumora::CardShadow {
namespace {

constexpr std::size_t kKeptFrames = 8;

// One pass of a running-sum box blur of width 2 * half + 1 over the alpha of one line.
void boxBlurLine(uchar *alpha, int count, int stride, int half, std::vector<int> &buffer) {
  buffer.assign(static_cast<std::size_t>(count), 0);
  int sum = 0;
  const int width = 2 * half + 1;
  for (int i = -half; i < count + half; ++i) {
    if (i + half < count && i + half >= 0)
      sum += alpha[(i + half) * stride];
    if (i - half - 1 >= 0 && i - half - 1 < count)
      sum -= alpha[(i - half - 1) * stride];
    if (i >= 0 && i < count)
      buffer[static_cast<std::size_t>(i)] = sum / width;
  }
  for (int i = 0; i < count; ++i) {
    alpha[i * stride] = static_cast<uchar>(buffer[static_cast<std::size_t>(i)]);
  }
}

// Three box passes each way approximate a Gaussian of deviation `sigma`.
void gaussianAlpha(QImage &image, qreal sigma) {
  const int half =
      std::max(1, static_cast<int>(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2)));
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

// The nine-patch stretched once to `size`: every card of one width shares it. A card
// that scales in its entrance or on hover passes through a size a frame; those frames are
// cheap to make again, so only a few stay (each is as big as a card).
const QPixmap &cachedFrame(int radius, qreal cornerRadius, const QSize &size) {
  static std::map<std::tuple<int, int, int, int>, QPixmap> frames;
  const auto key =
      std::make_tuple(radius, static_cast<int>(cornerRadius * 4), size.width(), size.height());
  auto found = frames.find(key);
  if (found == frames.end()) {
    if (frames.size() >= kKeptFrames) {
      frames.clear();
    }
    const QPixmap &patch = cachedPatch(radius, cornerRadius);
    const int corner = (patch.width() - 1) / 2;
    QPixmap frame(size);
    frame.fill(Qt::transparent);
    if (size.width() > 2 * corner && size.height() > 2 * corner) {
      QPainter painter(&frame);
      const QMargins slices(corner, corner, corner, corner);
      qDrawBorderPixmap(&painter, frame.rect(), slices, patch, patch.rect(), slices);
    }
    found = frames.emplace(key, frame).first;
  }
  return found->second;
}

} // namespace

int reach(qreal radius) { return static_cast<int>(std::ceil(std::max<qreal>(radius, 0))); }

void paint(QPainter &painter, const QRectF &card, qreal cornerRadius, qreal opacity, qreal radius,
           qreal offsetY) {
  if (opacity <= 0 || card.isEmpty()) {
    return;
  }
  const int rounded = static_cast<int>(std::lround(std::max<qreal>(radius, 0)));
  const int margin = reach(rounded);
  const QRect target =
      card.translated(0, offsetY).toAlignedRect().adjusted(-margin, -margin, margin, margin);
  const QPixmap &frame = cachedFrame(rounded, cornerRadius, target.size());
  const int band = (cachedPatch(rounded, cornerRadius).width() - 1) / 2;
  // Four unscaled bands; the middle lies wholly under the opaque card (the offset is less
  // than the corner radius), so it is never drawn.
  const int w = target.width();
  const int h = target.height();
  const QRect bands[] = {{0, 0, w, band},
                         {0, h - band, w, band},
                         {0, band, band, h - 2 * band},
                         {w - band, band, band, h - 2 * band}};
  painter.save();
  painter.setOpacity(painter.opacity() * std::min<qreal>(opacity, 1));
  for (const QRect &source : bands) {
    painter.drawPixmap(target.topLeft() + source.topLeft(), frame, source);
  }
  painter.restore();
}

} // namespace lumora::CardShadow
