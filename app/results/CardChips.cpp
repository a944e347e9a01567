#include "app/results/CardChips.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <cmath>

namespace lumora::cardchips {
namespace {

QSizeF runSize(const Run &run) {
  if (run.dot > 0) {
    return {run.dot, run.dot};
  }
  if (!run.image.isNull()) {
    return run.image.deviceIndependentSize();
  }
  const QFontMetricsF metrics(run.font);
  return {metrics.horizontalAdvance(run.text), metrics.height()};
}

void paintRun(QPainter &painter, const Run &run, const QRectF &rect) {
  if (run.dot > 0) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(run.color);
    painter.drawEllipse(rect);
  } else if (!run.image.isNull()) {
    painter.drawPixmap(rect.topLeft(), run.image);
  } else {
    painter.setFont(run.font);
    painter.setPen(run.color);
    painter.drawText(rect, Qt::AlignCenter, run.text);
  }
}

} // namespace

Run Run::ofText(const QString &text, const QFont &font, const QColor &color) {
  Run run;
  run.text = text;
  run.font = font;
  run.color = color;
  return run;
}

Run Run::ofImage(const QPixmap &image) {
  Run run;
  run.image = image;
  return run;
}

Run Run::ofDot(qreal diameter, const QColor &color) {
  Run run;
  run.dot = diameter;
  run.color = color;
  return run;
}

QPixmap make(const std::vector<Run> &runs, const Style &style, qreal devicePixelRatio) {
  qreal width = 0;
  qreal height = 0;
  for (const Run &run : runs) {
    const QSizeF size = runSize(run);
    width += size.width() + (width > 0 ? style.spacing : 0);
    height = std::max(height, size.height());
  }
  const QSizeF chip(std::ceil(width + 2 * style.paddingX), std::ceil(height + 2 * style.paddingY));
  QPixmap pixmap((chip * devicePixelRatio).toSize());
  pixmap.setDevicePixelRatio(devicePixelRatio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                         QPainter::SmoothPixmapTransform);
  const QRectF bounds(QPointF(0, 0), chip);
  const qreal radius = style.radius < 0 ? chip.height() / 2 : style.radius;
  painter.setPen(Qt::NoPen);
  painter.setBrush(style.fill);
  painter.drawRoundedRect(bounds, radius, radius);
  if (style.stroke.isValid()) {
    const qreal inset = style.strokeWidth / 2;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(style.stroke, style.strokeWidth));
    painter.drawRoundedRect(bounds.adjusted(inset, inset, -inset, -inset), radius - inset,
                            radius - inset);
  }
  qreal x = style.paddingX + (chip.width() - 2 * style.paddingX - width) / 2;
  for (const Run &run : runs) {
    const QSizeF size = runSize(run);
    paintRun(painter, run, QRectF(QPointF(x, (chip.height() - size.height()) / 2), size));
    x += size.width() + style.spacing;
  }
  return pixmap;
}

QPixmap cached(const QString &key, const std::vector<Run> &runs, const Style &style,
               qreal devicePixelRatio) {
  const QString full =
      QStringLiteral("card-chip|") + key + u'|' + QString::number(devicePixelRatio);
  QPixmap pixmap;
  if (!QPixmapCache::find(full, &pixmap)) {
    pixmap = make(runs, style, devicePixelRatio);
    QPixmapCache::insert(full, pixmap);
  }
  return pixmap;
}

} // namespace lumora::cardchips
