#include "app/results/MonthHud.h"

#include "app/results/MonthHudModel.h"
#include "app/shell/motion/Motion.h"
#include "app/shell/theme/Theme.h"
#include "platform/gui/ReduceMotion.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace lumora {
namespace {

constexpr int kTitlePixels = 30;
constexpr double kPaddingX = 18;
constexpr double kPaddingY = 9;
constexpr double kRadius = 16;
constexpr double kShadowRadius = 16;
constexpr double kShadowOffsetY = 8;
constexpr double kShadowOpacity = 0.18;
constexpr int kShadowLayers = 8;

// A soft shadow without a blur pass: stacked rounded rectangles, each a little larger and
// fainter, add up to roughly the given opacity at the centre.
void paintShadow(QPainter &painter, const QRectF &bubble) {
  painter.setPen(Qt::NoPen);
  for (int i = kShadowLayers; i >= 1; --i) {
    const double grow = kShadowRadius * i / kShadowLayers;
    painter.setBrush(QColor(0, 0, 0, qRound(255 * kShadowOpacity / kShadowLayers)));
    painter.drawRoundedRect(bubble.translated(0, kShadowOffsetY).adjusted(-grow, -grow, grow, grow),
                            kRadius + grow, kRadius + grow);
  }
}

} // namespace

MonthHud::MonthHud(const MonthHudModel &model, QWidget *parent)
    : QWidget(parent), m_model(model), m_animation(motion::fast()) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  hide();
  connect(&m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
    m_presence = value.toDouble();
    setVisible(m_presence > 0.001);
    update();
  });
  m_animation.jumpTo(0.0);
  connect(&model, &MonthHudModel::showHUDChanged, this, &MonthHud::follow);
  connect(&model, &MonthHudModel::currentTitleChanged, this, [this] {
    renderBubble();
    placeIn(m_area);
  });
}

void MonthHud::follow() {
  const bool shown = m_model.showHUD() && !m_model.currentTitle().isEmpty();
  m_slides = !platform::reduceMotion();
  if (shown && m_bubble.isNull()) {
    renderBubble();
    placeIn(m_area);
  }
  m_animation.animateTo(shown ? 1.0 : 0.0);
}

void MonthHud::placeIn(const QRect &area) {
  m_area = area;
  QSize size = m_bubble.isNull() ? QSize() : m_bubble.deviceIndependentSize().toSize();
  size.rheight() += static_cast<int>(kSlide); // room for the slide
  setGeometry(QRect(
      QPoint(area.right() + 1 - kTrailingMargin - size.width() + static_cast<int>(kShadowRadius),
             area.top() + kTopMargin - static_cast<int>(kShadowRadius)),
      size));
}

void MonthHud::changeEvent(QEvent *event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange && !m_bubble.isNull()) {
    renderBubble();
  }
}

// The bubble with room for its shadow around it (the shadow's reach on every side).
void MonthHud::renderBubble() {
  const Theme &theme = Theme::of(this);
  const QFont font = Theme::font(kTitlePixels, Theme::Weight::bold);
  const QFontMetricsF metrics(font);
  const QString &title = m_model.currentTitle();
  const QSizeF bubbleSize(metrics.horizontalAdvance(title) + 2 * kPaddingX,
                          metrics.height() + 2 * kPaddingY);
  const double margin = kShadowRadius;
  const QSizeF total(bubbleSize.width() + 2 * margin,
                     bubbleSize.height() + 2 * margin + kShadowOffsetY);
  const qreal dpr = devicePixelRatioF();
  QPixmap pixmap((total * dpr).toSize());
  pixmap.setDevicePixelRatio(dpr);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF bubble(QPointF(margin, margin), bubbleSize);
  paintShadow(painter, bubble);
  QPainterPath path;
  path.addRoundedRect(bubble, kRadius, kRadius);
  painter.fillPath(path, theme.ultraThinMaterial);
  painter.setPen(QPen(theme.primaryAt(0.08), 1));
  painter.drawPath(path);
  painter.setFont(font);
  painter.setPen(theme.primary);
  painter.drawText(bubble, Qt::AlignCenter, title);
  m_bubble = pixmap;
}

void MonthHud::paintEvent(QPaintEvent *) {
  if (m_bubble.isNull()) {
    return;
  }
  QPainter painter(this);
  painter.setOpacity(m_presence);
  const double offset = m_slides ? kSlide * (1 - m_presence) : 0;
  painter.drawPixmap(QPointF(0, offset), m_bubble);
}

} // namespace lumora
