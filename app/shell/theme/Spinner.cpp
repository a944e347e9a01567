#include "app/shell/theme/Spinner.h"

#include "app/shell/theme/Theme.h"
#include "platform/gui/ReduceMotion.h"

#include <QPainter>

namespace lumora {

Spinner::Spinner(int diameter, QWidget *parent) : QWidget(parent), m_diameter(diameter) {
  setFixedSize(diameter, diameter);
  setAttribute(Qt::WA_TranslucentBackground);
  m_turn.setStartValue(0.0);
  m_turn.setEndValue(360.0);
  m_turn.setDuration(1000);
  m_turn.setLoopCount(-1);
  connect(&m_turn, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
    m_angle = value.toReal();
    update();
  });
  connect(&platform::ReduceMotionNotifier::instance(), &platform::ReduceMotionNotifier::changed,
          this, &Spinner::followReduceMotion);
}

QSize Spinner::sizeHint() const { return {m_diameter, m_diameter}; }

void Spinner::followReduceMotion() {
  if (isVisible() && !platform::reduceMotion()) {
    if (m_turn.state() != QAbstractAnimation::Running) {
      m_turn.start();
    }
  } else {
    m_turn.stop();
  }
}

void Spinner::showEvent(QShowEvent *) { followReduceMotion(); }

void Spinner::hideEvent(QHideEvent *) { m_turn.stop(); }

void Spinner::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal line = qMax(1.5, m_diameter / 9.0);
  const QRectF r = QRectF(rect()).adjusted(line, line, -line, -line);
  const Theme &theme = Theme::of(this);
  p.setPen(QPen(theme.quaternary, line));
  p.drawEllipse(r);
  QPen arc(theme.secondary, line);
  arc.setCapStyle(Qt::RoundCap);
  p.setPen(arc);
  // Qt angles are counter-clockwise in 1/16 degrees; turn clockwise.
  p.drawArc(r, qRound((90 - m_angle) * 16), -270 * 16);
}

} // namespace lumora
