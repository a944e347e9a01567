#include "app/shell/components/RollingDigitsLabel.h"

#include "app/shell/motion/Motion.h"
#include "app/shell/theme/Theme.h"

#include <QEvent>
#include <QPainter>

namespace lumora {

RollingDigitsLabel::RollingDigitsLabel(QWidget *parent) : QWidget(parent), m_roll(motion::fast()) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  m_roll.jumpTo(1.0);
  connect(&m_roll, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
    m_progress = value.toReal();
    update();
  });
}

void RollingDigitsLabel::setText(const QString &text) {
  if (m_text == text) {
    return;
  }
  m_previous = m_text;
  m_text = text;
  updateGeometry();
  // Nothing to watch while hidden: the new text simply stands when the label appears.
  if (!isVisible()) {
    setRollProgress(1);
    return;
  }
  // An ease-out only follows the value, so reduced motion keeps it (no `resolved` here).
  m_roll.jumpTo(0.0);
  m_progress = 0;
  m_roll.animateTo(1.0);
  update();
}

void RollingDigitsLabel::setColor(const QColor &color) {
  if (m_color == color) {
    return;
  }
  m_color = color;
  update();
}

void RollingDigitsLabel::setRollProgress(qreal progress) {
  m_roll.stop();
  m_progress = progress;
  update();
}

bool RollingDigitsLabel::isRolling() const { return m_roll.state() == QAbstractAnimation::Running; }

QSize RollingDigitsLabel::sizeHint() const {
  // The width the painting uses: character by character. The whole string's advance can be
  // narrower (spacing and punctuation of CJK text), which would cut off the first character.
  const QFontMetrics fm(font());
  int width = 0;
  for (const QChar c : m_text) {
    width += fm.horizontalAdvance(c);
  }
  return {width, fm.height()};
}

void RollingDigitsLabel::changeEvent(QEvent *event) {
  if (event->type() == QEvent::FontChange) {
    updateGeometry();
  }
  QWidget::changeEvent(event);
}

void RollingDigitsLabel::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.setFont(font());
  p.setPen(m_color.isValid() ? m_color : Theme::of(this).primary);
  const QFontMetrics fm(font());
  const int baseline = (height() - fm.height()) / 2 + fm.ascent();
  const qreal shift = fm.height() * (1 - std::clamp(m_progress, 0.0, 1.0));
  const qreal fade = std::clamp(m_progress, 0.0, 1.0);
  // Right-aligned character by character, so a new leading digit rolls in on the left.
  qreal xNew = width();
  qreal xOld = width();
  for (int i = 1; i <= std::max(m_text.size(), m_previous.size()); ++i) {
    const QChar now = i <= m_text.size() ? m_text.at(m_text.size() - i) : QChar();
    const QChar before = i <= m_previous.size() ? m_previous.at(m_previous.size() - i) : QChar();
    if (!now.isNull()) {
      xNew -= fm.horizontalAdvance(now);
    }
    if (!before.isNull()) {
      xOld -= fm.horizontalAdvance(before);
    }
    if (now == before || m_progress >= 1) {
      if (!now.isNull()) {
        p.setOpacity(1);
        p.drawText(QPointF(xNew, baseline), QString(now));
      }
      continue;
    }
    if (!before.isNull()) {
      p.setOpacity(1 - fade);
      p.drawText(QPointF(xOld, baseline - (fm.height() - shift)), QString(before));
    }
    if (!now.isNull()) {
      p.setOpacity(fade);
      p.drawText(QPointF(xNew, baseline + shift), QString(now));
    }
  }
}

} // namespace lumora
