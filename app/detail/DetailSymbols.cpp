#include "app/detail/DetailSymbols.h"

#include <QIcon>
#include <QPainter>

namespace lumora::DetailSymbols {

QPixmap pixmap(const QString &name, int size, const QColor &color, qreal devicePixelRatio) {
  QPixmap image = QIcon::fromTheme(name).pixmap(QSize(size, size), devicePixelRatio);
  if (image.isNull()) {
    return image;
  }
  QPainter painter(&image);
  painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
  painter.fillRect(image.rect(), color);
  return image;
}

} // namespace lumora::DetailSymbols
