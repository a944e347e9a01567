#include "app/shell/components/WindowBackground.h"

#include "app/shell/theme/Theme.h"

#include <QEvent>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>

namespace lumora {

WindowBackground::WindowBackground(QWidget *parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void WindowBackground::changeEvent(QEvent *event) {
  if (event->type() == QEvent::PaletteChange) {
    m_prepared = QPixmap();
  }
  QWidget::changeEvent(event);
}

void WindowBackground::paintEvent(QPaintEvent *event) {
  const qreal dpr = devicePixelRatioF();
  if (m_prepared.size() != size() * dpr || !qFuzzyCompare(m_prepared.devicePixelRatio(), dpr)) {
    m_prepared = QPixmap(size() * dpr);
    m_prepared.setDevicePixelRatio(dpr);
    const Theme &theme = Theme::of(this);
    QPainter p(&m_prepared);
    p.fillRect(rect(), theme.windowBackground);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, theme.primaryAt(0.012));
    gradient.setColorAt(1, theme.primaryAt(0.035));
    p.fillRect(rect(), gradient);
  }
  QPainter p(this);
  p.drawPixmap(event->rect(), m_prepared,
               QRectF(QRectF(event->rect()).topLeft() * dpr, QSizeF(event->rect().size()) * dpr));
}

} // namespace lumora
