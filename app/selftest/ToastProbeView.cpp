#include "app/selftest/ToastProbeView.h"

#include "app/shell/motion/Motion.h"
#include "app/shell/motion/MotionAnimation.h"
#include "app/shell/screens/UndoToastView.h"
#include "app/store/AppStore.h"

#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QPainterPath>

namespace lumora {
namespace {

constexpr int kPadding = 10;
constexpr double kEntryOffset = 12;
constexpr double kExitOffset = 6;

AppStoreTypes::UndoToast sampleToast() {
  AppStoreTypes::UndoToast toast;
  toast.message = QStringLiteral("已清理 3 张");
  toast.detail = QStringLiteral("移入废纸篓（可恢复）");
  return toast;
}

} // namespace

ToastProbeView::ToastProbeView(AppStore &store, QWidget *parent)
    : QWidget(parent), m_toast(new UndoToastView(store, sampleToast(), this)),
      m_fade(new QGraphicsOpacityEffect(m_toast)),
      m_motion(new MotionAnimation(MotionCurve::spring(0.34, 0.70), this)) {
  setAutoFillBackground(false);
  m_toast->setGraphicsEffect(m_fade);
  // The probe measures the spring itself, whatever the reduced-motion setting.
  m_motion->setFollowsReducedMotion(false);
  m_motion->jumpTo(0.0);
  connect(m_motion, &QVariantAnimation::valueChanged, this,
          [this](const QVariant &value) { place(value.toDouble()); });
  place(0.0);
}

void ToastProbeView::setToastVisible(bool visible) {
  if (visible == m_visible) {
    return;
  }
  m_visible = visible;
  m_motion->setCurve(visible ? MotionCurve::spring(0.34, 0.70) : motion::fast());
  m_motion->animateTo(visible ? 1.0 : 0.0);
}

const MotionCurve &ToastProbeView::runningCurve() const { return m_motion->runningCurve(); }

// `progress` 0 is hidden (below, transparent), 1 in place.
void ToastProbeView::place(double progress) {
  const double offset = (m_visible ? kEntryOffset : kExitOffset) * (1.0 - progress);
  const int width = this->width() - 2 * kPadding;
  const int height = std::min(m_toast->heightForWidth(width) > 0 ? m_toast->heightForWidth(width)
                                                                 : m_toast->sizeHint().height(),
                              this->height() - 2 * kPadding);
  m_toast->setGeometry(kPadding, this->height() - kPadding - height + int(std::lround(offset)),
                       width, height);
  m_fade->setOpacity(std::clamp(progress, 0.0, 1.0));
  m_toast->setVisible(progress > 0.0 || m_visible);
}

void ToastProbeView::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  place(m_motion->value().toDouble());
}

void ToastProbeView::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(rect(), palette().window());
  QColor bar = palette().windowText().color();
  for (int i = 0; i < 3; ++i) {
    bar.setAlphaF(0.06f + 0.05f * float(i));
    QPainterPath path;
    path.addRoundedRect(QRectF(12, 12 + i * (22 + 8), width() - 24, 22), 6, 6);
    painter.fillPath(path, bar);
  }
}

} // namespace lumora
