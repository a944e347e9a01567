#include "app/shell/components/AppMark.h"

#include "app/shell/components/AlphaBlur.h"

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>

namespace lumora {
namespace {

constexpr char kIconResource[] = ":/shell/pindle.svg";

// The icon's alpha, blurred by boxes of half width `half` (none below 1); past the border the
// boxes repeat the border pixels.
QImage blurredAlpha(const QImage &source, int half) {
  QImage alpha = source.convertToFormat(QImage::Format_Alpha8);
  if (half >= 1) {
    alphablur::blur(alpha, half, alphablur::Edge::Extended);
  }
  return alpha;
}

} // namespace

AppMark::AppMark(int size, QWidget *parent) : QWidget(parent), m_size(size) {
  setFixedSize(size, size);
  setAttribute(Qt::WA_TranslucentBackground);
  setAccessibleName(QString());
}

qreal AppMark::shadowRadius(qreal size) { return std::max(size * 0.03, 1.0); }

qreal AppMark::shadowOffset(qreal size) { return std::max(size * 0.015, 1.0); }

QPixmap AppMark::iconPixmap(int pixelSize, qreal devicePixelRatio) {
  const int px = std::max(1, qRound(pixelSize * devicePixelRatio));
  QImage image(px, px, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  QSvgRenderer(QString::fromLatin1(kIconResource)).render(&p, QRectF(0, 0, px, px));
  p.end();
  QPixmap pixmap = QPixmap::fromImage(image);
  pixmap.setDevicePixelRatio(devicePixelRatio);
  return pixmap;
}

QIcon AppMark::applicationIcon() {
  QIcon icon;
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    icon.addPixmap(iconPixmap(size));
  }
  return icon;
}

// Drawn once per size: the blurred shadow of the icon's shape, then the icon over it.
void AppMark::render() {
  const qreal dpr = devicePixelRatioF();
  const QPixmap icon = iconPixmap(m_size, dpr);
  const QImage iconImage = icon.toImage();
  const QImage alpha = blurredAlpha(iconImage, qRound(shadowRadius(m_size) * dpr / 2));
  QImage out(iconImage.size(), QImage::Format_ARGB32_Premultiplied);
  out.fill(Qt::transparent);
  QPainter p(&out);
  const QImage shadow = alphablur::tinted(alpha, QColor(0, 0, 0, 31)); // black at 12 %
  p.drawImage(QPointF(0, shadowOffset(m_size) * dpr), shadow);
  p.drawImage(0, 0, iconImage);
  p.end();
  m_rendered = QPixmap::fromImage(out);
  m_rendered.setDevicePixelRatio(dpr);
}

void AppMark::paintEvent(QPaintEvent *) {
  if (m_rendered.isNull() || !qFuzzyCompare(m_rendered.devicePixelRatio(), devicePixelRatioF())) {
    render();
  }
  QPainter p(this);
  p.drawPixmap(0, 0, m_rendered);
}

} // namespace lumora
