#include "app/shell/screens/CardShadow.h"

#include <QCache>
#include <QImage>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>
#include <vector>

namespace lumora::CardShadow {
namespace {

/// One box-blur pass of the alpha channel along rows (`horizontal`) or columns.
void boxBlur(QImage &image, int radius, bool horizontal) {
  const int outer = horizontal ? image.height() : image.width();
  const int inner = horizontal ? image.width() : image.height();
  std::vector<int> line(static_cast<std::size_t>(inner));
  auto alpha = [&](int o, int i) -> uchar & {
    const int x = horizontal ? i : o;
    const int y = horizontal ? o : i;
    return image.scanLine(y)[x];
  };
  const int window = 2 * radius + 1;
  for (int o = 0; o < outer; ++o) {
    for (int i = 0; i < inner; ++i) {
      line[static_cast<std::size_t>(i)] = alpha(o, i);
    }
    int sum = 0;
    for (int i = -radius; i <= radius; ++i) {
      sum += (i >= 0 && i < inner) ? line[static_cast<std::size_t>(i)] : 0;
    }
    for (int i = 0; i < inner; ++i) {
      alpha(o, i) = static_cast<uchar>(sum / window);
      const int enter = i + radius + 1;
      const int leave = i - radius;
      sum += (enter < inner ? line[static_cast<std::size_t>(enter)] : 0) -
             (leave >= 0 ? line[static_cast<std::size_t>(leave)] : 0);
    }
  }
}

/// The blurred mask of a card of `size`, `margin` pixels of room around it.
QImage blurredMask(QSize size, int margin, qreal cornerRadius, qreal blurRadius) {
  QImage mask(size + QSize(2 * margin, 2 * margin), QImage::Format_Alpha8);
  mask.fill(0);
  {
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(margin, margin, size.width(), size.height()), cornerRadius,
                        cornerRadius);
    painter.fillPath(path, Qt::black);
  }
  // Three box passes approximate a Gaussian of sigma = blurRadius / 2.
  const int box = std::max(1, static_cast<int>(std::lround(blurRadius / 2)));
  for (int pass = 0; pass < 3; ++pass) {
    boxBlur(mask, box, true);
    boxBlur(mask, box, false);
  }
  return mask;
}

QPixmap shadowPixmap(QSize size, const Spec &spec, int margin) {
  static QCache<QString, QPixmap> cache(16);
  const QString key = QStringLiteral("%1x%2/%3/%4/%5")
                          .arg(size.width())
                          .arg(size.height())
                          .arg(spec.cornerRadius)
                          .arg(spec.blurRadius)
                          .arg(spec.color.name(QColor::HexArgb));
  if (QPixmap *cached = cache.object(key)) {
    return *cached;
  }
  QImage tinted(size + QSize(2 * margin, 2 * margin), QImage::Format_ARGB32_Premultiplied);
  tinted.fill(spec.color);
  {
    QPainter painter(&tinted);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.drawImage(0, 0, blurredMask(size, margin, spec.cornerRadius, spec.blurRadius));
  }
  auto *pixmap = new QPixmap(QPixmap::fromImage(tinted));
  cache.insert(key, pixmap);
  return *pixmap;
}

} // namespace

void paint(QPainter &painter, const QRectF &card, const Spec &spec) {
  const QSize size = card.size().toSize();
  if (size.isEmpty()) {
    return;
  }
  const int margin = static_cast<int>(std::ceil(spec.blurRadius * 1.5));
  const QPointF origin = card.topLeft() + spec.offset - QPointF(margin, margin);
  painter.drawPixmap(origin, shadowPixmap(size, spec, margin));
}

} // namespace lumora::CardShadow
