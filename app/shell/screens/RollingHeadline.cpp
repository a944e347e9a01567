#include "app/shell/screens/RollingHeadline.h"

#include "app/shell/components/RollingDigitsLabel.h"
#include "app/shell/components/ShrinkingLabel.h"

#include <QEvent>
#include <algorithm>
#include <cmath>

namespace lumora {

RollingHeadline::RollingHeadline(QWidget *parent)
    : QWidget(parent), m_rolling(new RollingDigitsLabel(this)),
      m_shrinking(new ShrinkingLabel(QString(), this)) {
  m_shrinking->setMinimumScaleFactor(0.85);
  m_shrinking->setElideMode(Qt::ElideMiddle);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  choose();
}

void RollingHeadline::setText(const QString &text, bool roll) {
  m_shrinking->setText(text);
  m_rolling->setText(text);
  if (!roll) {
    m_rolling->setRollProgress(1.0);
  }
  choose();
}

QString RollingHeadline::text() const { return m_shrinking->text(); }

void RollingHeadline::setColor(const QColor &color) {
  m_rolling->setColor(color);
  m_shrinking->setColor(color);
}

bool RollingHeadline::isShrunk() const { return !m_shrinking->isHidden(); }

QSize RollingHeadline::sizeHint() const { return {drawnWidth(), m_rolling->sizeHint().height()}; }

QSize RollingHeadline::minimumSizeHint() const { return {0, m_rolling->sizeHint().height()}; }

void RollingHeadline::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  choose();
}

void RollingHeadline::changeEvent(QEvent *event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    m_rolling->setFont(font());
    m_shrinking->setFont(font());
    updateGeometry();
    choose();
  }
}

int RollingHeadline::drawnWidth() const {
  // The rolling label lays its text out a character at a time from the right, which can be
  // wider than the shaped string: it gets that width, so its first character starts at 0.
  const QFontMetrics metrics(m_rolling->font());
  qreal width = 0;
  for (const QChar character : m_rolling->text()) {
    width += metrics.horizontalAdvance(character);
  }
  return std::max(static_cast<int>(std::ceil(width)), m_rolling->sizeHint().width());
}

void RollingHeadline::choose() {
  const int natural = drawnWidth();
  const bool fits = natural <= width();
  m_rolling->setVisible(fits);
  m_shrinking->setVisible(!fits);
  const int top = (height() - m_rolling->sizeHint().height()) / 2;
  m_rolling->setGeometry(0, top, natural, m_rolling->sizeHint().height());
  m_shrinking->setGeometry(rect());
}

} // namespace lumora
