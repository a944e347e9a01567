#include "app/shell/components/WindowBackground.h"

#include "app/shell/theme/Theme.h"

#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>

namespace lumora {

WindowBackground::WindowBackground(QWidget *parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void WindowBackground::paintEvent(QPaintEvent *event) {
  QPainter p(this);
  const Theme &theme = Theme::of(this);
  p.fillRect(event->rect(), theme.windowBackground);
  QLinearGradient gradient(0, 0, 0, height());
  gradient.setColorAt(0, theme.primaryAt(0.012));
  gradient.setColorAt(1, theme.primaryAt(0.035));
  p.fillRect(event->rect(), gradient);
}

} // namespace lumora
