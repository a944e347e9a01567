#include "app/shell/screens/LinearProgressBar.h"

#include "app/shell/motion/Motion.h"
#include "app/shell/theme/Theme.h"

#include <QDateTime>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace lumora {
namespace {

constexpr int kFillMs = 200;
constexpr int kSweepPeriodMs = 1400;
constexpr int kFrameMs = 16;
constexpr qreal kSegment = 0.3;
constexpr qreal kStillOpacity = 0.6;

void fillCapsule(QPainter &painter, const QRectF &rect, const QColor &color) {
  if (rect.width() <= 0) {
    return;
  }
  const qreal radius = rect.height() / 2;
  QPainterPath path;
  path.addRoundedRect(rect, radius, radius);
  painter.fillPath(path, color);
}

} // namespace

LinearProgressBar::LinearProgressBar(int height, QWidget *parent) : QWidget(parent) {
  setFixedHeight(height);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  m_fill.setDuration(kFillMs);
  m_fill.setEasingCurve(motion::easeOutCurve());
  m_fill.setStartValue(0.0);
  m_fill.setEndValue(0.0);
  connect(&m_fill, &QVariantAnimation::valueChanged, this, [this] { update(); });
  m_sweepTimer.setInterval(kFrameMs);
  connect(&m_sweepTimer, &QTimer::timeout, this, [this] { update(); });
}

void LinearProgressBar::setForm(Form form) {
  if (m_form == form) {
    return;
  }
  m_form = form;
  updateSweep();
  update();
}

void LinearProgressBar::setFraction(double fraction) {
  fraction = std::clamp(std::isfinite(fraction) ? fraction : 0.0, 0.0, 1.0);
  if (fraction == m_fraction) {
    return;
  }
  const double from =
      m_fill.state() == QAbstractAnimation::Running ? m_fill.currentValue().toDouble() : m_fraction;
  m_fill.stop();
  m_fraction = fraction;
  update();
  // A bar not on screen shows the new value at once; only a shown bar animates its fill.
  if (!isVisible()) {
    return;
  }
  m_fill.setStartValue(from);
  m_fill.setEndValue(fraction);
  m_fill.start();
}

void LinearProgressBar::setMinimumFill(qreal width) {
  m_minimumFill = width;
  update();
}

QRectF LinearProgressBar::fillRect() const {
  switch (m_form) {
  case Form::determinate: {
    const qreal shown = m_fill.state() == QAbstractAnimation::Running
                            ? m_fill.currentValue().toDouble()
                            : m_fraction;
    return {0, 0, std::max(width() * shown, m_minimumFill), qreal(height())};
  }
  case Form::indeterminate: return sweepRect();
  case Form::still: return {0, 0, width() * kSegment, qreal(height())};
  }
  return {};
}

bool LinearProgressBar::isAnimating() const {
  return m_sweepTimer.isActive() || m_fill.state() == QAbstractAnimation::Running;
}

QSize LinearProgressBar::sizeHint() const { return {200, height()}; }

void LinearProgressBar::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const Theme &theme = Theme::of(this);
  fillCapsule(painter, rect(), theme.primaryAt(0.08));
  QColor fill = theme.accent;
  if (m_form == Form::still) {
    fill.setAlphaF(kStillOpacity);
  }
  fillCapsule(painter, fillRect(), fill);
}

void LinearProgressBar::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  updateSweep();
}

void LinearProgressBar::hideEvent(QHideEvent *event) {
  QWidget::hideEvent(event);
  updateSweep();
}

void LinearProgressBar::updateSweep() {
  const bool sweeping = m_form == Form::indeterminate && isVisible();
  if (sweeping && !m_sweepTimer.isActive()) {
    m_sweepStart = QDateTime::currentMSecsSinceEpoch();
    m_sweepTimer.start();
  } else if (!sweeping) {
    m_sweepTimer.stop();
  }
}

QRectF LinearProgressBar::sweepRect() const {
  // A segment 30 % wide enters at the leading edge and leaves at the trailing edge once
  // per period, eased so that it lingers a little in the middle.
  const qint64 elapsed = QDateTime::currentMSecsSinceEpoch() - m_sweepStart;
  const qreal t = static_cast<qreal>(elapsed % kSweepPeriodMs) / kSweepPeriodMs;
  const qreal eased = 0.5 - 0.5 * std::cos(t * M_PI);
  const qreal segment = width() * kSegment;
  const qreal left = -segment + eased * (width() + segment);
  return QRectF(left, 0, segment, height()).intersected(QRectF(rect()));
}

} // namespace lumora
