#include "app/shell/root/Divider.h"

#include "app/shell/theme/Theme.h"

#include <QPainter>

namespace lumora {

Divider::Divider(QWidget *parent) : QWidget(parent) {
  setFixedHeight(1);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void Divider::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.fillRect(rect(), Theme::of(this).primaryAt(0.06));
}

} // namespace lumora
