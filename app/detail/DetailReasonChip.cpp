#include "app/detail/DetailReasonChip.h"

#include "app/shell/theme/Theme.h"
#include "platform/gui/Symbols.h"

#include <QPainter>
#include <QPainterPath>

namespace lumora {
namespace {

constexpr int kFontSize = 11;
constexpr int kSpacing = 6;
constexpr int kPadX = 10;
constexpr int kPadY = 6;
constexpr qreal kMinScale = 0.85;

} // namespace

DetailReasonChip::DetailReasonChip(QWidget *parent) : QWidget(parent) {}

void DetailReasonChip::setText(const QString &text) {
  if (text == m_text) {
    return;
  }
  m_text = text;
  setAccessibleName(text);
  updateGeometry();
  update();
}

QSize DetailReasonChip::sizeHint() const {
  const QFontMetrics metrics(Theme::font(kFontSize));
  return {kPadX * 2 + kFontSize + kSpacing + metrics.horizontalAdvance(m_text),
          kPadY * 2 + metrics.height()};
}

void DetailReasonChip::paintEvent(QPaintEvent *) {
  const Theme &theme = Theme::of(this);
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF bounds(rect());
  QPainterPath path;
  path.addRoundedRect(bounds, bounds.height() / 2, bounds.height() / 2);
  painter.fillPath(path, theme.primaryAt(0.045));
  painter.drawPixmap(QPointF(kPadX, (height() - kFontSize) / 2.0),
                     platform::symbols::pixmap(QStringLiteral("checkmark.seal.fill"), kFontSize,
                                               theme.accent, devicePixelRatioF()));
  // Shrink to 85 % before cutting the end.
  const QRectF textRect = bounds.adjusted(kPadX + kFontSize + kSpacing, 0, -kPadX, 0);
  QFont font = Theme::font(kFontSize);
  const qreal natural = QFontMetricsF(font).horizontalAdvance(m_text);
  if (natural > textRect.width() && natural > 0) {
    const qreal scale = std::max(kMinScale, textRect.width() / natural);
    font.setPixelSize(std::max(1, static_cast<int>(kFontSize * scale)));
  }
  painter.setFont(font);
  painter.setPen(theme.secondary);
  painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                   QFontMetricsF(font).elidedText(m_text, Qt::ElideRight, textRect.width()));
}

} // namespace lumora
