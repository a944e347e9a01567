#include "app/shell/components/GentleAppear.h"

#include "app/shell/motion/Motion.h"
#include "platform/gui/ReduceMotion.h"

#include <QEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace lumora {
namespace {

constexpr qreal kStartScale = 0.98;

} // namespace

GentleAppear *GentleAppear::apply(QWidget *widget) {
  auto *effect = new GentleAppear(widget);
  widget->setGraphicsEffect(effect);
  widget->installEventFilter(effect);
  if (widget->isVisible()) {
    QTimer::singleShot(0, effect, &GentleAppear::begin);
  }
  return effect;
}

GentleAppear::GentleAppear(QWidget *widget)
    : QGraphicsEffect(widget), m_widget(widget), m_animation(motion::smooth()) {
  m_animation.jumpTo(0.0);
  connect(&m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
    m_progress = value.toReal();
    update();
  });
  connect(&m_animation, &QAbstractAnimation::finished, this, &GentleAppear::finish);
}

qreal GentleAppear::opacity() const { return qBound(0.0, m_progress, 1.0); }

qreal GentleAppear::scale() const {
  return m_scales ? kStartScale + (1 - kStartScale) * m_progress : 1.0;
}

void GentleAppear::setProgress(qreal progress) {
  m_started = true;
  m_animation.stop();
  m_progress = progress;
  update();
}

bool GentleAppear::eventFilter(QObject *watched, QEvent *event) {
  if (watched == m_widget && event->type() == QEvent::Show && !m_started) {
    begin();
  }
  return QGraphicsEffect::eventFilter(watched, event);
}

void GentleAppear::begin() {
  if (m_started) {
    return;
  }
  m_started = true;
  if (platform::reduceMotion()) {
    m_scales = false;
    m_appeared = true;
    m_animation.animateTo(1.0);
    return;
  }
  // One turn of the event loop first, so the first frame shows 0 % / 98 %. The widget is
  // the timer's context: if it is deleted meanwhile, the step never runs.
  QTimer::singleShot(0, m_widget.data(), [self = QPointer<GentleAppear>(this)] {
    if (self) {
      self->m_appeared = true;
      self->m_animation.animateTo(1.0);
    }
  });
}

void GentleAppear::finish() {
  m_progress = 1;
  update();
  // Drop the effect once settled: the widget then paints directly, without an offscreen
  // copy. Deferred, because removing it deletes this object.
  QTimer::singleShot(0, m_widget.data(), [widget = m_widget, self = QPointer<GentleAppear>(this)] {
    if (widget && self && widget->graphicsEffect() == self) {
      widget->setGraphicsEffect(nullptr);
    }
  });
}

void GentleAppear::draw(QPainter *painter) {
  if (m_progress >= 1 && scale() >= 1) {
    drawSource(painter);
    return;
  }
  QPoint offset;
  const QPixmap pixmap = sourcePixmap(Qt::DeviceCoordinates, &offset, QGraphicsEffect::NoPad);
  if (pixmap.isNull()) {
    return;
  }
  painter->save();
  painter->setWorldTransform(QTransform());
  painter->setOpacity(opacity());
  painter->setRenderHint(QPainter::SmoothPixmapTransform);
  const qreal dpr = pixmap.devicePixelRatio();
  const QRectF target(offset, pixmap.size() / dpr);
  const QPointF centre = target.center();
  painter->translate(centre);
  painter->scale(scale(), scale());
  painter->translate(-centre);
  painter->drawPixmap(target.topLeft(), pixmap);
  painter->restore();
}

} // namespace lumora
