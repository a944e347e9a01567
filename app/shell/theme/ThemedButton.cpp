#include "app/shell/theme/ThemedButton.h"

#include "app/shell/theme/ButtonKeys.h"
#include "app/shell/theme/FocusHalo.h"
#include "app/shell/theme/Theme.h"
#include "platform/gui/Symbols.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

namespace lumora {
namespace {

constexpr int kSymbolGap = 5;

} // namespace

ThemedButton::ThemedButton(const QString &title, Style style, Size size, QWidget *parent)
    : QPushButton(title, parent), m_style(style), m_size(size) {
  setFocusPolicy(Qt::TabFocus);
  setAttribute(Qt::WA_Hover);
  setCursor(Qt::PointingHandCursor);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setFont(Theme::font(metrics().fontPx, Theme::Weight::medium));
  FocusHalo::install(this, metrics().radius);
}

void ThemedButton::keyPressEvent(QKeyEvent *event) {
  if (buttonkeys::isArrow(*event)) {
    event->ignore();
    return;
  }
  QPushButton::keyPressEvent(event);
}

void ThemedButton::setButtonStyle(Style style) {
  if (m_style == style) {
    return;
  }
  m_style = style;
  updateGeometry();
  update();
}

void ThemedButton::setButtonSize(Size size) {
  if (m_size == size) {
    return;
  }
  m_size = size;
  setFont(Theme::font(metrics().fontPx, Theme::Weight::medium));
  FocusHalo::install(this, metrics().radius);
  updateGeometry();
  update();
}

void ThemedButton::setSymbol(const QString &symbol) {
  if (m_symbol == symbol) {
    return;
  }
  m_symbol = symbol;
  updateGeometry();
  update();
}

void ThemedButton::setTint(const QColor &tint) {
  if (m_tint == tint) {
    return;
  }
  m_tint = tint;
  update();
}

ThemedButton::Metrics ThemedButton::metrics() const {
  switch (m_size) {
  case Size::small: return {22, 11, 9, 5, 11};
  case Size::large: return {34, 14, 16, 8, 15};
  case Size::regular: break;
  }
  return {28, 13, 12, 6, 13};
}

QSize ThemedButton::sizeHint() const {
  const Metrics m = metrics();
  int width = fontMetrics().horizontalAdvance(text());
  if (!m_symbol.isEmpty()) {
    width += m.symbolPx + (text().isEmpty() ? 0 : kSymbolGap);
  }
  const int padding = m_style == Style::link ? 2 : m.padding;
  return {width + 2 * padding, m.height};
}

QSize ThemedButton::minimumSizeHint() const { return sizeHint(); }

bool ThemedButton::event(QEvent *event) {
  if (event->type() == QEvent::HoverEnter || event->type() == QEvent::HoverLeave) {
    m_hovered = event->type() == QEvent::HoverEnter;
    update();
  }
  return QPushButton::event(event);
}

QColor ThemedButton::fillColor() const {
  const Theme &theme = Theme::of(this);
  if (m_style == Style::link) {
    return Qt::transparent;
  }
  if (m_style == Style::prominent) {
    QColor c = m_tint.isValid() ? m_tint : theme.accent;
    return isDown() ? c.darker(118) : (m_hovered ? c.lighter(110) : c);
  }
  return theme.primaryAt(isDown() ? 0.20 : (m_hovered ? 0.15 : 0.10));
}

QColor ThemedButton::textColor() const {
  const Theme &theme = Theme::of(this);
  if (m_style == Style::prominent) {
    return theme.onAccent;
  }
  if (m_style == Style::link) {
    QColor c = m_tint.isValid() ? m_tint : theme.accent;
    return isDown() ? c.darker(125) : c;
  }
  return theme.primary;
}

void ThemedButton::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  paintFace(painter);
}

void ThemedButton::paintFace(QPainter &p) const {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  if (!isEnabled()) {
    p.setOpacity(0.4);
  }
  const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
  const qreal radius = metrics().radius;
  if (m_style != Style::link) {
    QPainterPath shape;
    shape.addRoundedRect(r, radius, radius);
    p.fillPath(shape, fillColor());
    if (m_style == Style::bordered) {
      p.setPen(QPen(Theme::of(this).primaryAt(0.08), 0.5));
      p.drawPath(shape);
    }
  }
  paintLabel(p, r);
  p.restore();
}

void ThemedButton::paintLabel(QPainter &p, const QRectF &r) const {
  const Metrics m = metrics();
  const QColor color = textColor();
  const int textWidth = fontMetrics().horizontalAdvance(text());
  const int symbolWidth = m_symbol.isEmpty() ? 0 : m.symbolPx + (text().isEmpty() ? 0 : kSymbolGap);
  qreal x = r.center().x() - (textWidth + symbolWidth) / 2.0;
  if (!m_symbol.isEmpty()) {
    const QPixmap glyph =
        platform::symbols::pixmap(m_symbol, m.symbolPx, color, devicePixelRatioF());
    p.drawPixmap(QPointF(x, r.center().y() - m.symbolPx / 2.0), glyph);
    x += symbolWidth;
  }
  p.setPen(color);
  p.setFont(font());
  p.drawText(QRectF(x, r.top(), textWidth + 1, r.height()), Qt::AlignLeft | Qt::AlignVCenter,
             text());
}

} // namespace lumora
