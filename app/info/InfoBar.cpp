#include "app/info/InfoBar.h"

#include "app/shell/theme/Theme.h"

#include <QPainter>

namespace lumora {

InfoBar::InfoBar(DividerEdge edge, QWidget *parent) : QWidget(parent), m_edge(edge) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void InfoBar::paintEvent(QPaintEvent *) {
  const Theme &theme = Theme::of(this);
  QPainter p(this);
  p.fillRect(rect(), theme.barMaterial);
  const QRect line =
      m_edge == DividerEdge::bottom ? QRect(0, height() - 1, width(), 1) : QRect(0, 0, width(), 1);
  p.fillRect(line, theme.separator);
  p.fillRect(line, theme.primaryAt(0.06));
}

} // namespace lumora
