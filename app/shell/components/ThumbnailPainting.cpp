#include "app/shell/components/ThumbnailPainting.h"

#include <QIcon>
#include <QLinearGradient>
#include <QPainter>

namespace lumora::thumbnailpainting {
namespace {

constexpr int kSymbolPixels = 19;
constexpr const char *kSymbolIcon = "image-x-generic";

QColor withOpacity(QColor color, qreal opacity) {
  color.setAlphaF(color.alphaF() * opacity);
  return color;
}

// The themed symbol recoloured in one flat colour, at the screen's pixel density.
QPixmap tintedSymbol(const QColor &color, qreal devicePixelRatio) {
  const QIcon icon = QIcon::fromTheme(QString::fromLatin1(kSymbolIcon));
  if (icon.isNull()) {
    return {};
  }
  QPixmap pixmap = icon.pixmap(QSize(kSymbolPixels, kSymbolPixels), devicePixelRatio);
  QPainter painter(&pixmap);
  painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
  painter.fillRect(pixmap.rect(), color);
  return pixmap;
}

} // namespace

void paintPlaceholder(QPainter &painter, const QRectF &rect, const QColor &secondary,
                      QPixmap &symbol, qreal devicePixelRatio) {
  QLinearGradient gradient(rect.topLeft(), rect.bottomRight());
  gradient.setColorAt(0, withOpacity(secondary, 0.1));
  gradient.setColorAt(1, withOpacity(secondary, 0.16));
  painter.fillRect(rect, gradient);
  if (symbol.isNull() || symbol.devicePixelRatio() != devicePixelRatio) {
    symbol = tintedSymbol(withOpacity(secondary, 0.4), devicePixelRatio);
  }
  if (!symbol.isNull()) {
    const QSizeF size = symbol.deviceIndependentSize();
    painter.drawPixmap(rect.center() - QPointF(size.width(), size.height()) / 2, symbol);
  }
}

QRectF aspectFillSource(const QSizeF &source, const QSizeF &rect) {
  if (source.isEmpty() || rect.isEmpty()) {
    return {};
  }
  // Scale until both sides cover the frame and cut the overhang evenly.
  const qreal scale = qMax(rect.width() / source.width(), rect.height() / source.height());
  const QSizeF shown = rect / scale;
  return {QPointF((source.width() - shown.width()) / 2, (source.height() - shown.height()) / 2),
          shown};
}

void paintAspectFill(QPainter &painter, const QRectF &rect, const QPixmap &pixmap, qreal opacity) {
  if (pixmap.isNull() || opacity <= 0 || rect.isEmpty()) {
    return;
  }
  const QRectF source = aspectFillSource(pixmap.size(), rect.size());
  painter.save();
  painter.setOpacity(painter.opacity() * opacity);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(rect, pixmap, source);
  painter.restore();
}

} // namespace lumora::thumbnailpainting
