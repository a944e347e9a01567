#include "app/shell/screens/RollingHeadline.h"

#include "app/shell/components/RollingDigitsLabel.h"
#include "app/shell/components/ShrinkingLabel.h"

#include <QEvent>
#include <algorithm>

namespace lumora {

RollingHeadline::RollingHeadline(QWidget *parent)
    : QWidget(parent), m_rolling(new RollingDigitsLabel(this)),
      m_shrinking(new ShrinkingLabel(QString(), this)) {
  m_rolling->setAnchor(RollingDigitsLabel::Anchor::leading);
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

bool RollingHeadline::event(QEvent *event) {
  // The rolling label asks for room for the old and the new text while it rolls, and gives
  // it back when the roll ends.
  if (event->type() == QEvent::LayoutRequest) {
    choose();
  }
  return QWidget::event(event);
}

// The rolling label lays its text out a character at a time, which can be wider than the
// shaped string: it gets that width, so no character of the new text is cut off.
int RollingHeadline::drawnWidth() const { return m_rolling->textWidth(m_rolling->text()); }

void RollingHeadline::choose() {
  const bool fits = drawnWidth() <= width();
  m_rolling->setVisible(fits);
  m_shrinking->setVisible(!fits);
  const QSize rolling = m_rolling->sizeHint();
  const int top = (height() - rolling.height()) / 2;
  m_rolling->setGeometry(0, top, std::min(rolling.width(), width()), rolling.height());
  m_shrinking->setGeometry(rect());
}

} // namespace lumora
