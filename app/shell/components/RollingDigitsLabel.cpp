#include "app/shell/components/RollingDigitsLabel.h"

#include "app/shell/components/LeavingPicture.h"
#include "app/shell/components/RollPlan.h"
#include "app/shell/motion/Motion.h"
#include "app/shell/theme/Theme.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace lumora {

RollingDigitsLabel::RollingDigitsLabel(QWidget *parent) : QWidget(parent), m_roll(motion::fast()) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  m_roll.jumpTo(1.0);
  connect(&m_roll, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
    m_progress = value.toReal();
    update();
  });
  // The old text no longer needs its room.
  connect(&m_roll, &QAbstractAnimation::finished, this, [this] {
    m_progress = 1;
    updateGeometry();
    update();
  });
}

void RollingDigitsLabel::setText(const QString &text) {
  if (m_text == text) {
    return;
  }
  m_previous = m_text;
  m_text = text;
  // Nothing to watch while hidden or under a still picture: the new text simply stands when
  // the label shows again.
  if (!isVisible() || LeavingPicture::covers(this)) {
    setRollProgress(1);
    return;
  }
  // An ease-out only follows the value, so reduced motion keeps it (no `resolved` here).
  m_roll.jumpTo(0.0);
  m_progress = 0;
  m_roll.animateTo(1.0);
  updateGeometry();
  update();
}

void RollingDigitsLabel::setColor(const QColor &color) {
  if (m_color == color) {
    return;
  }
  m_color = color;
  update();
}

void RollingDigitsLabel::setAnchor(Anchor anchor) {
  m_anchor = anchor;
  update();
}

void RollingDigitsLabel::setRollProgress(qreal progress) {
  m_roll.stop();
  m_progress = progress;
  updateGeometry();
  update();
}

bool RollingDigitsLabel::isRolling() const { return m_roll.state() == QAbstractAnimation::Running; }

bool RollingDigitsLabel::showsPrevious() const { return m_progress < 1 && m_previous != m_text; }

// Character by character, as the painting lays it out: the whole string's advance can be
// narrower (spacing and punctuation of CJK text), which would cut off a character.
int RollingDigitsLabel::textWidth(const QString &text) const {
  const QFontMetricsF fm(font());
  qreal width = 0;
  for (const QChar c : text) {
    width += fm.horizontalAdvance(c);
  }
  return static_cast<int>(std::ceil(width));
}

QSize RollingDigitsLabel::sizeHint() const {
  int width = textWidth(m_text);
  if (showsPrevious()) {
    width = std::max(width, textWidth(m_previous));
  }
  return {width, QFontMetrics(font()).height()};
}

QList<qreal> RollingDigitsLabel::positions(const QString &text) const {
  const QFontMetricsF fm(font());
  qreal x = m_anchor == Anchor::leading ? 0 : width() - textWidth(text);
  QList<qreal> xs;
  xs.reserve(text.size());
  for (const QChar c : text) {
    xs.append(x);
    x += fm.horizontalAdvance(c);
  }
  return xs;
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
  const qreal baseline = (height() - fm.height()) / 2 + fm.ascent();
  const QList<qreal> now = positions(m_text);
  if (!showsPrevious() || m_settledForPicture) {
    for (qsizetype i = 0; i < m_text.size(); ++i) {
      p.drawText(QPointF(now[i], baseline), QString(m_text.at(i)));
    }
    return;
  }
  const qreal t = std::clamp(m_progress, 0.0, 1.0);
  const QList<qreal> before = positions(m_previous);
  const rollplan::Plan plan = rollplan::plan(m_previous, m_text);
  // What both texts share glides whole from its old place to its new one.
  for (const auto &[oldIndex, newIndex] : plan.glides) {
    const qreal x = before[oldIndex] + (now[newIndex] - before[oldIndex]) * t;
    p.drawText(QPointF(x, baseline), QString(m_text.at(newIndex)));
  }
  // What changed rolls: the old characters up and out, the new ones in from below.
  const qreal rise = fm.height() * t;
  p.setOpacity(1 - t);
  for (const qsizetype j : plan.out) {
    p.drawText(QPointF(before[j], baseline - rise), QString(m_previous.at(j)));
  }
  p.setOpacity(t);
  for (const qsizetype i : plan.in) {
    p.drawText(QPointF(now[i], baseline + fm.height() - rise), QString(m_text.at(i)));
  }
}

} // namespace lumora
