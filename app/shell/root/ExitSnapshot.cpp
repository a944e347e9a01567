#include "app/shell/root/ExitSnapshot.h"

#include "app/shell/components/RollingDigitsLabel.h"
#include "app/shell/motion/Motion.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>

namespace lumora {

// Not `QWidget::grab`: it fills the palette's window colour first, where the window really
// shows its own background through the widget.
QPixmap ExitSnapshot::pictureOf(QWidget *widget, QWidget *backdrop) {
  if (!widget->isVisible()) {
    return {};
  }
  const qreal ratio = widget->devicePixelRatioF();
  QPixmap pixmap(widget->size() * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  if (backdrop != nullptr) {
    const QPoint inWindow = widget->mapTo(widget->window(), QPoint(0, 0));
    const QRect area(backdrop->mapFrom(backdrop->window(), inWindow), widget->size());
    backdrop->render(&pixmap, QPoint(), QRegion(area), QWidget::DrawWindowBackground);
  }
  // A text caught rolling is drawn as it will stand: the picture may be held still.
  const RollingDigitsLabel::SettledPainting settled;
  widget->render(&pixmap, QPoint(), QRegion(), QWidget::DrawChildren);
  return pixmap;
}

ExitSnapshot *ExitSnapshot::replace(QWidget *leaving, const MotionCurve &curve, QPointF offset,
                                    QWidget *backdrop) {
  return replace(leaving, pictureOf(leaving, backdrop), curve, offset);
}

ExitSnapshot *ExitSnapshot::replace(QWidget *leaving, QPixmap picture, const MotionCurve &curve,
                                    QPointF offset) {
  auto *snapshot = new ExitSnapshot(leaving->parentWidget(), std::move(picture), curve, offset);
  // The picture may move out of the leaving widget's rectangle: cover both.
  const QRect from = leaving->geometry();
  const QRect area = from.united(from.translated(offset.toPoint()));
  snapshot->m_origin = from.topLeft() - area.topLeft();
  snapshot->setGeometry(area);
  // Hidden with the focus inside, the leaving widget would pass it on to the next control
  // of the chain, which would show its ring until the arriving screen takes the keys. The
  // parent holds them meanwhile, showing no ring.
  if (const QWidget *focus = QApplication::focusWidget();
      focus != nullptr && (focus == leaving || leaving->isAncestorOf(focus))) {
    leaving->parentWidget()->setFocus(Qt::OtherFocusReason);
  }
  leaving->hide();
  leaving->deleteLater();
  snapshot->show();
  snapshot->raise();
  return snapshot;
}

ExitSnapshot *ExitSnapshot::hold(QWidget *covered, QPixmap picture) {
  // A real curve: the constructor starts it, and a run of no length would end it (and
  // delete the cover) at once.
  auto *cover =
      new ExitSnapshot(covered->parentWidget(), std::move(picture), MotionCurve::easeOut(1), {});
  cover->m_animation.stop();
  cover->setProgress(0);
  cover->setGeometry(covered->geometry());
  cover->show();
  cover->raise();
  return cover;
}

ExitSnapshot::ExitSnapshot(QWidget *parent, QPixmap picture, const MotionCurve &curve,
                           QPointF offset)
    : QWidget(parent), m_picture(std::move(picture)), m_offset(offset), m_animation(curve) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  m_animation.setMaxStep(motion::kMaxScreenStepMs);
  connect(&m_animation, &QVariantAnimation::valueChanged, this,
          [this](const QVariant &value) { setProgress(value.toReal()); });
  connect(&m_animation, &QAbstractAnimation::finished, this, &QObject::deleteLater);
  if (m_picture.isNull()) {
    deleteLater();
    return;
  }
  restart();
}

void ExitSnapshot::restart() {
  m_animation.jumpTo(0.0);
  m_animation.animateTo(1.0);
}

void ExitSnapshot::fadeOut(const MotionCurve &curve) {
  m_animation.setCurve(curve);
  restart();
}

void ExitSnapshot::hold() {
  m_animation.jumpTo(0.0);
  setProgress(0);
}

void ExitSnapshot::setProgress(qreal progress) {
  m_progress = progress;
  update();
}

void ExitSnapshot::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.setOpacity(std::clamp(1.0 - m_progress, 0.0, 1.0));
  painter.drawPixmap(QPointF(m_origin) + m_offset * m_progress, m_picture);
}

} // namespace lumora
