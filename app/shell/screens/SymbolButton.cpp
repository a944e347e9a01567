#include "app/shell/screens/SymbolButton.h"

#include "app/shell/theme/ButtonKeys.h"
#include "app/shell/theme/FocusHalo.h"
#include "app/shell/theme/Theme.h"
#include "platform/gui/Symbols.h"

#include <QPainter>

namespace lumora {

SymbolButton::SymbolButton(const QString &symbol, int symbolSize, int frameSize, QWidget *parent)
    : QAbstractButton(parent), m_symbol(symbol), m_symbolSize(symbolSize), m_frameSize(frameSize) {
  setFixedSize(frameSize, frameSize);
  setFocusPolicy(Qt::TabFocus);
  setCursor(Qt::ArrowCursor);
  FocusHalo::install(this, kFocusRadius);
}

void SymbolButton::setSymbolColor(const QColor &color) {
  if (color == m_color) {
    return;
  }
  m_color = color;
  update();
}

void SymbolButton::keyPressEvent(QKeyEvent *event) {
  if (buttonkeys::isArrow(*event)) {
    event->ignore();
    return;
  }
  QAbstractButton::keyPressEvent(event);
}

QSize SymbolButton::sizeHint() const { return {m_frameSize, m_frameSize}; }

void SymbolButton::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setOpacity(isDown() ? 0.6 : 1.0);
  const int offset = (m_frameSize - m_symbolSize) / 2;
  painter.drawPixmap(
      QRect(offset, offset, m_symbolSize, m_symbolSize),
      platform::symbols::pixmap(m_symbol, m_symbolSize, m_color, devicePixelRatioF()));
}

} // namespace lumora
