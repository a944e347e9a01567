#include "app/shell/components/LeavingPicture.h"

#include "app/shell/components/PictureSettling.h"
#include "app/shell/motion/Motion.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>

namespace lumora {

// Not `QWidget::grab`: it fills the palette's window colour first, where the window really
// shows its own background through the widget.
QPixmap LeavingPicture::blank(const QWidget *widget) {
  const qreal ratio = widget->devicePixelRatioF();
  QPixmap pixmap(widget->size() * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

QPixmap LeavingPicture::backdropOf(const QWidget *widget, QWidget *backdrop) {
  QPixmap pixmap = blank(widget);
  const QPoint inWindow = widget->mapTo(widget->window(), QPoint(0, 0));
  const QRect area(backdrop->mapFrom(backdrop->window(), inWindow), widget->size());
  backdrop->render(&pixmap, QPoint(), QRegion(area), QWidget::DrawWindowBackground);
  return pixmap;
}

QPixmap LeavingPicture::pictureOf(QWidget *widget, QWidget *backdrop) {
  if (!widget->isVisible()) {
    return {};
  }
  QPixmap pixmap = backdrop != nullptr ? backdropOf(widget, backdrop) : blank(widget);
  // A text caught rolling is drawn as it will stand: the picture may be held still.
  PictureSettling::setIn(widget, true);
  widget->render(&pixmap, QPoint(), QRegion(), QWidget::DrawChildren);
  PictureSettling::setIn(widget, false);
  return pixmap;
}

LeavingPicture *LeavingPicture::replace(QWidget *leaving, const MotionCurve &curve, QPointF offset,
                                        QWidget *backdrop) {
  return replace(leaving, pictureOf(leaving, backdrop), curve, offset);
}

LeavingPicture *LeavingPicture::replace(QWidget *leaving, QPixmap picture, const MotionCurve &curve,
                                        QPointF offset) {
  auto *snapshot = new LeavingPicture(leaving->parentWidget(), std::move(picture), curve, offset);
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

LeavingPicture *LeavingPicture::hold(QWidget *covered, QPixmap picture) {
  return stillCover(covered->parentWidget(), covered->geometry(), std::move(picture));
}

LeavingPicture *LeavingPicture::holdInside(QWidget *covered, QPixmap picture) {
  return stillCover(covered, covered->rect(), std::move(picture));
}

LeavingPicture *LeavingPicture::stillCover(QWidget *parent, const QRect &area, QPixmap picture) {
  // A real curve: the constructor starts it, and a run of no length would end it (and
  // delete the cover) at once.
  auto *cover = new LeavingPicture(parent, std::move(picture), MotionCurve::easeOut(1), {});
  cover->m_animation.stop();
  cover->setProgress(0);
  cover->setGeometry(area);
  cover->show();
  cover->raise();
  return cover;
}

LeavingPicture::LeavingPicture(QWidget *parent, QPixmap picture, const MotionCurve &curve,
                               QPointF offset)
    : QWidget(parent), m_picture(std::move(picture)), m_offset(offset), m_animation(curve) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  m_animation.setMaxStep(motion::kMaxScreenStepMs);
  connect(&m_animation, &QVariantAnimation::valueChanged, this,
          [this](const QVariant &value) { setProgress(value.toReal()); });
  connect(&m_animation, &QAbstractAnimation::finished, this, [this] {
    hide();
    emit gone();
    deleteLater();
  });
  if (m_picture.isNull()) {
    deleteLater();
    return;
  }
  restart();
}

bool LeavingPicture::isStill() const {
  return m_progress <= 0 && m_animation.state() != QAbstractAnimation::Running;
}

bool LeavingPicture::covers(const QWidget *widget) { return coverOf(widget) != nullptr; }

LeavingPicture *LeavingPicture::coverOf(const QWidget *widget) {
  for (const QWidget *w = widget; w != nullptr && w->parentWidget() != nullptr;
       w = w->parentWidget()) {
    const QList<LeavingPicture *> pictures =
        w->parentWidget()->findChildren<LeavingPicture *>(QString(), Qt::FindDirectChildrenOnly);
    for (LeavingPicture *picture : pictures) {
      if (picture != w && picture->isVisible() && picture->isStill() &&
          picture->geometry().contains(w->geometry())) {
        return picture;
      }
    }
  }
  return nullptr;
}

void LeavingPicture::restart() {
  m_animation.jumpTo(0.0);
  m_animation.animateTo(1.0);
}

void LeavingPicture::fadeOut(const MotionCurve &curve) {
  m_animation.setCurve(curve);
  restart();
}

void LeavingPicture::hold() {
  m_animation.jumpTo(0.0);
  setProgress(0);
}

void LeavingPicture::setProgress(qreal progress) {
  m_progress = progress;
  update();
}

void LeavingPicture::paintEvent(QPaintEvent *) {
  if (m_leftOut) {
    return;
  }
  QPainter painter(this);
  painter.setOpacity(std::clamp(1.0 - m_progress, 0.0, 1.0));
  painter.drawPixmap(QPointF(m_origin) + m_offset * m_progress, m_picture);
}

} // namespace lumora
