#include "app/detail/RoundSymbolButton.h"

#include "platform/gui/Symbols.h"

#include <QPainter>

namespace lumora {

RoundSymbolButton::Look RoundSymbolButton::navigationLook() {
  return {40, 17, QColor::fromRgbF(0, 0, 0, 0.45f), QColor::fromRgbF(1, 1, 1, 0.18f)};
}

RoundSymbolButton::Look RoundSymbolButton::closeLook() {
  return {30, 12, QColor::fromRgbF(1, 1, 1, 0.14f), Qt::transparent};
}

RoundSymbolButton::Look RoundSymbolButton::tileDeleteLook() {
  return {28, 11, QColor::fromRgbF(0, 0, 0, 0.42f), Qt::transparent};
}

RoundSymbolButton::RoundSymbolButton(const QString &symbol, const Look &look, QWidget *parent)
    : QAbstractButton(parent), m_symbol(symbol), m_look(look) {
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::PointingHandCursor);
  setFixedSize(sizeHint());
}

QSize RoundSymbolButton::sizeHint() const { return {m_look.diameter, m_look.diameter}; }

void RoundSymbolButton::paintEvent(QPaintEvent *) {
  if (m_icon.isNull() || m_icon.devicePixelRatio() != devicePixelRatioF()) {
    m_icon = platform::symbols::pixmap(m_symbol, m_look.symbolSize, Qt::white, devicePixelRatioF());
  }
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(isDown() ? m_look.fill.lighter(130) : m_look.fill);
  const QRectF circle = QRectF(rect()).adjusted(0.25, 0.25, -0.25, -0.25);
  painter.drawEllipse(circle);
  if (m_look.border.alpha() > 0) {
    painter.setPen(QPen(m_look.border, 0.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circle);
  }
  const QSizeF iconSize = m_icon.deviceIndependentSize();
  painter.drawPixmap(QRectF(rect()).center() - QPointF(iconSize.width(), iconSize.height()) / 2,
                     m_icon);
}

} // namespace lumora
