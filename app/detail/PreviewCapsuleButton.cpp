#include "app/detail/PreviewCapsuleButton.h"

#include "app/shell/theme/Theme.h"
#include "platform/gui/Symbols.h"

#include <QPainter>
#include <QPainterPath>

namespace lumora {
namespace {

constexpr int kFontSize = 12;
constexpr int kSpacing = 6;
constexpr int kPadX = 14;
constexpr int kPadY = 7;

} // namespace

PreviewCapsuleButton::PreviewCapsuleButton(QWidget *parent) : QAbstractButton(parent) {
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::PointingHandCursor);
}

void PreviewCapsuleButton::setLook(const QString &symbol, const QString &text,
                                   const QColor &foreground, const QColor &fill) {
  if (symbol == m_symbol && text == this->text() && foreground == m_foreground && fill == m_fill) {
    return;
  }
  m_symbol = symbol;
  m_foreground = foreground;
  m_fill = fill;
  m_icon = QPixmap();
  setText(text);
  setAccessibleName(text);
  setFixedSize(sizeHint());
  update();
}

QFont PreviewCapsuleButton::labelFont() const {
  return Theme::font(kFontSize, Theme::Weight::medium);
}

QSize PreviewCapsuleButton::sizeHint() const {
  const QFontMetrics metrics(labelFont());
  const int textWidth = metrics.horizontalAdvance(text());
  return {kPadX * 2 + kFontSize + kSpacing + textWidth, kPadY * 2 + metrics.height()};
}

void PreviewCapsuleButton::paintEvent(QPaintEvent *) {
  if (m_icon.isNull() && !m_symbol.isEmpty()) {
    m_icon = platform::symbols::pixmap(m_symbol, kFontSize, m_foreground, devicePixelRatioF());
  }
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF bounds(rect());
  QPainterPath capsule;
  capsule.addRoundedRect(bounds, bounds.height() / 2, bounds.height() / 2);
  painter.fillPath(capsule, isDown() ? m_fill.darker(115) : m_fill);
  painter.drawPixmap(QPointF(kPadX, (height() - kFontSize) / 2.0), m_icon);
  painter.setFont(labelFont());
  painter.setPen(m_foreground);
  painter.drawText(bounds.adjusted(kPadX + kFontSize + kSpacing, 0, -kPadX, 0),
                   Qt::AlignVCenter | Qt::AlignLeft, text());
}

} // namespace lumora
