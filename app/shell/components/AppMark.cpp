#include "app/shell/components/AppMark.h"

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>

namespace lumora {
namespace {

constexpr char kIconResource[] = ":/shell/pindle.svg";

// A separable box blur run three times (close to a Gaussian) over the alpha channel.
QImage blurredAlpha(const QImage &source, int radius) {
  QImage img = source.convertToFormat(QImage::Format_Alpha8);
  if (radius < 1) {
    return img;
  }
  const int w = img.width();
  const int h = img.height();
  std::vector<int> line(static_cast<size_t>(std::max(w, h)));
  for (int pass = 0; pass < 6; ++pass) {
    const bool horizontal = pass % 2 == 0;
    const int outer = horizontal ? h : w;
    const int inner = horizontal ? w : h;
    for (int o = 0; o < outer; ++o) {
      auto at = [&](int i) -> uchar & {
        return horizontal ? img.scanLine(o)[i] : img.scanLine(i)[o];
      };
      for (int i = 0; i < inner; ++i) {
        line[static_cast<size_t>(i)] = at(i);
      }
      for (int i = 0; i < inner; ++i) {
        int sum = 0;
        for (int k = -radius; k <= radius; ++k) {
          sum += line[static_cast<size_t>(std::clamp(i + k, 0, inner - 1))];
        }
        at(i) = static_cast<uchar>(sum / (2 * radius + 1));
      }
    }
  }
  return img;
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
  QImage shadow(alpha.size(), QImage::Format_ARGB32_Premultiplied);
  shadow.fill(QColor(0, 0, 0, 31)); // black at 12 %
  {
    QPainter mask(&shadow);
    mask.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    mask.drawImage(0, 0, alpha);
  }
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
