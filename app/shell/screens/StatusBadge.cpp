#include "app/shell/screens/StatusBadge.h"

#include "platform/gui/Symbols.h"

#include <QPainter>

namespace lumora {
namespace {

constexpr int kDiameter = 88;
constexpr int kSymbolSize = 34;

} // namespace

StatusBadge::StatusBadge(QWidget *parent) : QWidget(parent) {
  setFixedSize(kDiameter, kDiameter);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void StatusBadge::setContent(const QString &symbol, const QColor &fill, const QColor &symbolColor) {
  if (symbol == m_symbol && fill == m_fill && symbolColor == m_symbolColor) {
    return;
  }
  m_symbol = symbol;
  m_fill = fill;
  m_symbolColor = symbolColor;
  update();
}

void StatusBadge::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(m_fill);
  painter.drawEllipse(rect());
  const QPixmap glyph =
      platform::symbols::pixmap(m_symbol, kSymbolSize, m_symbolColor, devicePixelRatioF());
  const int offset = (kDiameter - kSymbolSize) / 2;
  painter.drawPixmap(QRect(offset, offset, kSymbolSize, kSymbolSize), glyph);
}

} // namespace lumora
