#include "app/shell/components/CardShadow.h"

#include "app/shell/components/AlphaBlur.h"

#include <QCache>
#include <QImage>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>
#include <cmath>

namespace lumora::cardshadow {
namespace {

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
  alphablur::blur(mask, box);
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
  auto *pixmap = new QPixmap(QPixmap::fromImage(alphablur::tinted(
      blurredMask(size, margin, spec.cornerRadius, spec.blurRadius), spec.color)));
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

} // namespace lumora::cardshadow
