#include "app/shell/transition/EntranceEffect.h"

#include "app/shell/motion/Motion.h"

#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <utility>

namespace lumora {

EntranceEffect *EntranceEffect::start(QWidget *widget, const MotionCurve &curve, QPointF offset,
                                      bool fades) {
  auto *effect = new EntranceEffect(widget, curve, offset, fades);
  widget->setGraphicsEffect(effect);
  effect->setDescendantsSeeThrough(true);
  effect->restart();
  return effect;
}

void EntranceEffect::hold() {
  m_animation.jumpTo(0.0);
  setProgress(0);
}

void EntranceEffect::restart() {
  m_animation.jumpTo(0.0);
  m_animation.animateTo(1.0);
}

EntranceEffect::EntranceEffect(QWidget *widget, const MotionCurve &curve, QPointF offset,
                               bool fades)
    : QGraphicsEffect(widget), m_widget(widget), m_offset(offset), m_fades(fades),
      m_animation(curve) {
  m_animation.setMaxStep(motion::kMaxScreenStepMs);
  connect(&m_animation, &QVariantAnimation::valueChanged, this,
          [this](const QVariant &value) { setProgress(value.toReal()); });
  connect(&m_animation, &QAbstractAnimation::finished, this, [this] {
    // Deletes this effect; nothing may touch it afterwards.
    m_widget->setGraphicsEffect(nullptr);
  });
}

EntranceEffect::~EntranceEffect() { setDescendantsSeeThrough(false); }

void EntranceEffect::setDescendantsSeeThrough(bool seeThrough) {
  if (seeThrough) {
    for (QWidget *child : m_widget->findChildren<QWidget *>()) {
      if (child->testAttribute(Qt::WA_OpaquePaintEvent)) {
        child->setAttribute(Qt::WA_OpaquePaintEvent, false);
        m_seeThrough.append(child);
      }
    }
    return;
  }
  for (const QPointer<QWidget> &child : std::as_const(m_seeThrough)) {
    if (child) {
      child->setAttribute(Qt::WA_OpaquePaintEvent, true);
    }
  }
  m_seeThrough.clear();
}

// The drawing's bounds do not depend on the progress, so the widget's cached picture is
// kept from frame to frame; only a change inside the widget draws it anew.
void EntranceEffect::setProgress(qreal progress) {
  m_progress = progress;
  update();
}

qreal EntranceEffect::opacity() const { return m_fades ? std::clamp(m_progress, 0.0, 1.0) : 1.0; }

QRectF EntranceEffect::boundingRectFor(const QRectF &rect) const {
  return rect.united(rect.translated(m_offset));
}

void EntranceEffect::draw(QPainter *painter) {
  const qreal opacity = this->opacity();
  if (opacity <= 0) {
    return;
  }
  QPoint origin;
  const QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &origin, PadToEffectiveBoundingRect);
  painter->save();
  painter->setOpacity(painter->opacity() * opacity);
  painter->drawPixmap(QPointF(origin) + shift(), pixmap);
  painter->restore();
}

} // namespace lumora
