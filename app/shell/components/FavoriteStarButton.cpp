#include "app/shell/components/FavoriteStarButton.h"

#include "app/shell/motion/Motion.h"
#include "app/shell/theme/Theme.h"
#include "platform/gui/ReduceMotion.h"
#include "platform/gui/Symbols.h"

#include <QPainter>

namespace lumora {
namespace {

constexpr int kSide = 28;
constexpr int kGlyphPx = 13;
constexpr qreal kPulseScale = 1.28;
constexpr int kPulseMs = 150;

} // namespace

FavoriteStarButton::FavoriteStarButton(bool isFavorite, QWidget *parent)
    : QAbstractButton(parent), m_scaleAnimation(motion::bouncy()), m_favorite(isFavorite) {
  setFixedSize(kSide, kSide);
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::PointingHandCursor);
  m_scaleAnimation.jumpTo(1.0);
  m_pulseReset.setDuration(kPulseMs);
  connect(&m_scaleAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
    m_scale = value.toReal();
    update();
  });
  connect(&m_pulseReset, &QAbstractAnimation::finished, this,
          [this] { m_scaleAnimation.animateTo(1.0); });
}

QSize FavoriteStarButton::sizeHint() const { return {kSide, kSide}; }

void FavoriteStarButton::setFavorite(bool favorite) {
  if (m_favorite == favorite) {
    return;
  }
  m_favorite = favorite;
  if (favorite && !platform::reduceMotion()) {
    m_scaleAnimation.animateTo(kPulseScale);
    m_pulseReset.stop();
    m_pulseReset.start();
  }
  update();
}

void FavoriteStarButton::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  const Theme &theme = Theme::of(this);
  const QColor tint = m_favorite ? theme.yellow : theme.secondary;
  const QString symbol = m_favorite ? QStringLiteral("star.fill") : QStringLiteral("star");
  // Drawn at the largest size the pulse reaches, so the scaled glyph stays sharp.
  const qreal dpr = devicePixelRatioF() * kPulseScale;
  const QPixmap glyph = platform::symbols::pixmap(symbol, kGlyphPx, tint, dpr);
  const QPointF centre = QRectF(rect()).center();
  p.translate(centre);
  p.scale(m_scale, m_scale);
  p.drawPixmap(QPointF(-kGlyphPx / 2.0, -kGlyphPx / 2.0), glyph);
}

} // namespace lumora
