#include "app/detail/PreviewStage.h"

#include "app/shell/motion/Motion.h"
#include "app/shell/theme/Spinner.h"
#include "app/shell/theme/Theme.h"
#include "app/store/texts/Localized.h"
#include "platform/gui/Symbols.h"

#include <QGestureEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QPinchGesture>
#include <QWheelEvent>
#include <cmath>

namespace lumora {
namespace {

constexpr int kSpinnerSize = 32; // the large control size
constexpr qreal kStepShift = 8;
// One Ctrl+wheel notch is one short pinch by this factor.
constexpr double kWheelNotchScale = 1.25;
constexpr int kSymbolSize = 34;
constexpr int kPlaceholderSpacing = 8;
constexpr int kPlaceholderTextSize = 12;

} // namespace

PreviewStage::PreviewStage(QWidget *parent) : QWidget(parent) {
  setAttribute(Qt::WA_AcceptTouchEvents);
  // It paints its whole rectangle, so a frame costs no repaint of the screen behind.
  setAttribute(Qt::WA_OpaquePaintEvent);
  grabGesture(Qt::PinchGesture);
  setAccessibleName(localized::string("照片预览"));
  m_spinner = new Spinner(kSpinnerSize, this);
  m_spinner->setAttribute(Qt::WA_TransparentForMouseEvents);
  // The step cross-fade is the 0.14 s ease-out with or without reduce motion.
  m_stepAnimation.setDuration(motion::fast().durationMs());
  m_stepAnimation.setEasingCurve(motion::easeOutCurve());
  m_stepAnimation.setStartValue(0.0);
  m_stepAnimation.setEndValue(1.0);
  connect(&m_stepAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
    m_stepProgress = value.toReal();
    update();
  });
  connect(&m_stepAnimation, &QVariantAnimation::finished, this, [this] { m_outgoing.reset(); });
  m_zoomAnimation.setCurve(motion::smooth());
  connect(&m_zoomAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
    const double p = value.toDouble();
    m_shownZoom = m_fromZoom + (m_zoom.zoom() - m_fromZoom) * p;
    m_shownOffset = m_fromOffset + (m_zoom.offset() - m_fromOffset) * p;
    update();
  });
}

void PreviewStage::beginPhoto(bool animated, bool reduceMotion) {
  m_stepAnimation.stop();
  m_outgoing = animated ? std::optional(currentFrame()) : std::nullopt;
  m_stepShift = reduceMotion ? 0 : kStepShift;
  m_stepProgress = m_outgoing ? 0 : 1;
  resetZoom();
  m_content = Content::loading;
  m_thumbnail.reset();
  updateSpinner();
  if (m_outgoing) {
    m_stepAnimation.start();
  }
  update();
}

PreviewStage::Frame PreviewStage::currentFrame() const {
  return {m_content, m_thumbnail, m_shownZoom, m_shownOffset};
}

void PreviewStage::showImage(const ThumbnailPtr &image) {
  m_thumbnail = image;
  m_content = Content::image;
  m_imagePaintPending = true;
  updateSpinner();
  update();
}

void PreviewStage::showUnreadable() {
  m_content = Content::unreadable;
  updateSpinner();
  update();
}

void PreviewStage::setStageScale(qreal scale) {
  if (qFuzzyCompare(scale, m_stageScale)) {
    return;
  }
  m_stageScale = scale;
  update();
}

void PreviewStage::resetZoom() {
  m_zoomAnimation.stop();
  m_zoom.reset();
  syncShown();
}

void PreviewStage::syncShown() {
  m_shownZoom = m_zoom.zoom();
  m_shownOffset = m_zoom.offset();
  update();
}

// The spring 0.42 / 0.92 (the motion module's ease-out under reduce motion) carries the
// drawn zoom and offset from where they are to the model's new values.
void PreviewStage::toggleZoom() {
  m_fromZoom = m_shownZoom;
  m_fromOffset = m_shownOffset;
  m_zoom.toggle();
  m_zoomAnimation.jumpTo(0.0);
  m_zoomAnimation.animateTo(1.0);
}

void PreviewStage::pinch(double scale, bool ended) {
  if (m_content != Content::image) {
    return;
  }
  m_zoomAnimation.stop();
  m_zoom.pinchChanged(scale, size());
  if (ended) {
    m_zoom.pinchEnded();
  }
  syncShown();
}

QRectF PreviewStage::fittedRect(const QImage &image) const {
  QSizeF fitted = image.deviceIndependentSize();
  fitted.scale(QSizeF(size()), Qt::KeepAspectRatio);
  QRectF rect(QPointF(), fitted);
  rect.moveCenter(QRectF(this->rect()).center());
  return rect;
}

QColor PreviewStage::backgroundColor() {
  // Black at 0.93 over a thin dark material lets 3.5 % of the window show through; over the
  // dark window that is this near-black, which the screen paints opaque instead.
  return QColor::fromRgbF(0.008f, 0.008f, 0.008f);
}

void PreviewStage::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.fillRect(rect(), backgroundColor());
  const QPointF centre = QRectF(rect()).center();
  painter.translate(centre);
  painter.scale(m_stageScale, m_stageScale);
  painter.translate(-centre);
  if (m_outgoing) {
    paintFrame(painter, *m_outgoing, 1 - m_stepProgress, m_stepShift * m_stepProgress);
  }
  paintFrame(painter, currentFrame(), m_stepProgress, m_stepShift * (1 - m_stepProgress));
  if (m_imagePaintPending && m_content == Content::image) {
    m_imagePaintPending = false;
    emit imagePainted();
  }
}

void PreviewStage::paintFrame(QPainter &painter, const Frame &frame, qreal opacity, qreal shift) {
  if (opacity <= 0) {
    return;
  }
  painter.save();
  painter.setOpacity(opacity);
  painter.translate(shift, 0);
  if (frame.content == Content::image && frame.image) {
    paintImage(painter, frame);
  } else if (frame.content == Content::unreadable) {
    paintPlaceholder(painter);
  }
  painter.restore();
}

// The fitted photo, scaled by the zoom about its centre and moved by the offset. Drawn
// straight from the decoded image: no copy into a pixmap on the way.
void PreviewStage::paintImage(QPainter &painter, const Frame &frame) const {
  const QImage &image = frame.image->image();
  const QRectF fitted = fittedRect(image);
  const QPointF centre = fitted.center() + frame.offset;
  const QSizeF size = fitted.size() * frame.zoom;
  const QRectF target(centre - QPointF(size.width(), size.height()) / 2, size);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(target, image, QRectF(image.rect()));
}

void PreviewStage::paintPlaceholder(QPainter &painter) {
  if (m_placeholderSymbol.isNull()) {
    m_placeholderSymbol = platform::symbols::pixmap(QStringLiteral("photo.badge.exclamationmark"),
                                                    kSymbolSize, Qt::white, devicePixelRatioF());
  }
  const QFont font = Theme::font(kPlaceholderTextSize);
  painter.setFont(font);
  const QString text = localized::string("这张照片读不出来（iCloud 原图可能还没下载完）");
  const QSizeF textSize = QFontMetricsF(font).size(Qt::TextSingleLine, text);
  const qreal total = kSymbolSize + kPlaceholderSpacing + textSize.height();
  const QPointF centre = QRectF(rect()).center();
  const qreal top = centre.y() - total / 2;
  painter.setOpacity(painter.opacity() * 0.6);
  painter.drawPixmap(QPointF(centre.x() - kSymbolSize / 2.0, top), m_placeholderSymbol);
  painter.setPen(Qt::white);
  painter.drawText(QRectF(centre.x() - textSize.width() / 2,
                          top + kSymbolSize + kPlaceholderSpacing, textSize.width(),
                          textSize.height()),
                   Qt::AlignCenter, text);
}

void PreviewStage::updateSpinner() {
  if (m_spinner) {
    m_spinner->setVisible(m_content == Content::loading);
  }
}

void PreviewStage::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  if (m_spinner) {
    m_spinner->move(rect().center() - m_spinner->rect().center());
  }
  m_zoom.dragChanged({}, size());
  syncShown();
}

bool PreviewStage::event(QEvent *event) {
  switch (event->type()) {
  case QEvent::NativeGesture: return nativeGesture(event);
  case QEvent::Gesture: return touchPinch(event);
  default: return QWidget::event(event);
  }
}

bool PreviewStage::nativeGesture(QEvent *event) {
  auto *gesture = static_cast<QNativeGestureEvent *>(event);
  switch (gesture->gestureType()) {
  case Qt::BeginNativeGesture: m_nativeScale = 1; break;
  case Qt::ZoomNativeGesture:
    // Each event carries the change since the last one.
    m_nativeScale *= 1 + gesture->value();
    if (std::abs(m_nativeScale * m_zoom.baseZoom() - m_zoom.zoom()) >=
        PreviewZoom::kMinScaleDelta) {
      pinch(m_nativeScale, false);
    }
    break;
  case Qt::EndNativeGesture: pinch(m_nativeScale, true); break;
  default: return QWidget::event(event);
  }
  event->accept();
  return true;
}

bool PreviewStage::touchPinch(QEvent *event) {
  auto *gestures = static_cast<QGestureEvent *>(event);
  auto *pinchGesture = static_cast<QPinchGesture *>(gestures->gesture(Qt::PinchGesture));
  if (!pinchGesture) {
    return QWidget::event(event);
  }
  const bool ended =
      pinchGesture->state() == Qt::GestureFinished || pinchGesture->state() == Qt::GestureCanceled;
  pinch(pinchGesture->totalScaleFactor(), ended);
  gestures->accept(pinchGesture);
  return true;
}

void PreviewStage::mousePressEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  m_pressPos = event->position();
  m_dragging = false;
}

void PreviewStage::mouseMoveEvent(QMouseEvent *event) {
  if (!m_pressPos || !(event->buttons() & Qt::LeftButton)) {
    return;
  }
  const QPointF translation = event->position() - *m_pressPos;
  if (!m_dragging && std::hypot(translation.x(), translation.y()) < PreviewZoom::kDragThreshold) {
    return;
  }
  m_dragging = true;
  m_zoomAnimation.stop();
  m_zoom.dragChanged(translation, size());
  syncShown();
}

void PreviewStage::mouseReleaseEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton || !m_pressPos) {
    return;
  }
  if (m_dragging) {
    m_zoom.dragEnded();
  }
  m_pressPos.reset();
  m_dragging = false;
}

void PreviewStage::mouseDoubleClickEvent(QMouseEvent *event) {
  if (event->button() == Qt::LeftButton && m_content == Content::image) {
    toggleZoom();
  }
}

void PreviewStage::wheelEvent(QWheelEvent *event) {
  if (!(event->modifiers() & Qt::ControlModifier) || event->angleDelta().y() == 0) {
    QWidget::wheelEvent(event);
    return;
  }
  const double notches = event->angleDelta().y() / 120.0;
  pinch(std::pow(kWheelNotchScale, notches), true);
  event->accept();
}

} // namespace lumora
