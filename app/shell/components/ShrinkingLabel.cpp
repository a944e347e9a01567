#include "app/shell/components/ShrinkingLabel.h"

#include "app/shell/theme/Theme.h"

#include <QEvent>
#include <QPainter>

namespace lumora {

ShrinkingLabel::ShrinkingLabel(const QString &text, QWidget *parent)
    : QWidget(parent), m_text(text) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  refit();
}

void ShrinkingLabel::setText(const QString &text) {
  if (m_text == text) {
    return;
  }
  m_text = text;
  refit();
  updateGeometry();
}

void ShrinkingLabel::setMinimumScaleFactor(qreal factor) {
  factor = std::clamp(factor, 0.1, 1.0);
  if (qFuzzyCompare(m_minimumScale, factor)) {
    return;
  }
  m_minimumScale = factor;
  refit();
}

void ShrinkingLabel::setElideMode(Qt::TextElideMode mode) {
  if (m_elide == mode) {
    return;
  }
  m_elide = mode;
  refit();
}

void ShrinkingLabel::setAlignment(Qt::Alignment alignment) {
  if (m_alignment == alignment) {
    return;
  }
  m_alignment = alignment;
  update();
}

void ShrinkingLabel::setColor(const QColor &color) {
  if (m_color == color) {
    return;
  }
  m_color = color;
  update();
}

QFont ShrinkingLabel::fittedFont() const { return m_fitted; }

QString ShrinkingLabel::shownText() const { return m_shown; }

QSize ShrinkingLabel::sizeHint() const {
  const QFontMetrics fm(font());
  return {fm.horizontalAdvance(m_text), fm.height()};
}

QSize ShrinkingLabel::minimumSizeHint() const { return {0, QFontMetrics(font()).height()}; }

// Steps the pixel size down one pixel at a time until the text fits or the minimum scale
// is reached; past that, elides at the smallest size.
void ShrinkingLabel::refit() {
  const int full = font().pixelSize() > 0 ? font().pixelSize() : QFontInfo(font()).pixelSize();
  const int smallest = std::max(1, qRound(full * m_minimumScale));
  m_fitted = font();
  for (int px = full; px >= smallest; --px) {
    m_fitted.setPixelSize(px);
    if (QFontMetrics(m_fitted).horizontalAdvance(m_text) <= width()) {
      break;
    }
  }
  m_shown = QFontMetrics(m_fitted).elidedText(m_text, m_elide, width());
  setToolTip(m_shown == m_text && m_fitted.pixelSize() == full ? QString() : m_text);
  update();
}

void ShrinkingLabel::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  refit();
}

void ShrinkingLabel::changeEvent(QEvent *event) {
  if (event->type() == QEvent::FontChange) {
    refit();
    updateGeometry();
  }
  QWidget::changeEvent(event);
}

void ShrinkingLabel::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.setFont(m_fitted);
  p.setPen(m_color.isValid() ? m_color : Theme::of(this).primary);
  p.drawText(rect(), static_cast<int>(m_alignment) | Qt::TextSingleLine, m_shown);
}

} // namespace lumora
