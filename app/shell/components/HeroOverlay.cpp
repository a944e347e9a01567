#include "app/shell/components/HeroOverlay.h"

#include "app/shell/motion/Motion.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <algorithm>

namespace lumora {

HeroOverlay::HeroOverlay(QWidget *parent) : QWidget(parent), m_animation(motion::smooth()) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  hide();
  parent->installEventFilter(this);
  connect(&m_animation, &QVariantAnimation::valueChanged, this,
          [this](const QVariant &value) { moveTo(value.toReal()); });
  connect(&m_animation, &QAbstractAnimation::finished, this, &HeroOverlay::land);
}

bool HeroOverlay::eventFilter(QObject *watched, QEvent *event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) {
    setGeometry(parentWidget()->rect());
  }
  return QWidget::eventFilter(watched, event);
}

void HeroOverlay::fly(Flight flight) {
  m_flights.push_back(std::move(flight));
  setDestinationsHidden(true);
  setGeometry(parentWidget()->rect());
  raise();
  show();
  m_animation.jumpTo(0.0);
  m_progress = 0;
  m_animation.animateTo(1.0);
}

void HeroOverlay::refreshDestination(QWidget *destination) {
  for (Flight &f : m_flights) {
    if (f.destination != destination) {
      continue;
    }
    // The destination is kept out of sight by an opacity effect; photograph it without.
    QGraphicsEffect *hiding = destination->graphicsEffect();
    if (hiding != nullptr) {
      hiding->setEnabled(false);
    }
    f.to = destination->grab();
    if (hiding != nullptr) {
      hiding->setEnabled(true);
    }
    f.toSince = std::min(m_progress, 1.0);
    update(paintedRect(f, m_progress));
  }
}

void HeroOverlay::setProgress(qreal progress) {
  m_animation.stop();
  setGeometry(parentWidget()->rect());
  raise();
  show();
  moveTo(progress);
}

// Repaints only where the flights were and where they are now, not the whole window: the
// old rectangle in full, or the screen beneath keeps a stale copy of the flying picture.
void HeroOverlay::moveTo(qreal progress) {
  QRegion dirty;
  for (const Flight &f : m_flights) {
    dirty += paintedRect(f, m_progress);
    dirty += paintedRect(f, progress);
  }
  m_progress = progress;
  update(dirty);
}

QRectF HeroOverlay::rectAt(const Flight &flight, qreal progress) {
  const QRectF a(flight.fromRect);
  const QRectF b(flight.toRect);
  return {a.x() + (b.x() - a.x()) * progress, a.y() + (b.y() - a.y()) * progress,
          a.width() + (b.width() - a.width()) * progress,
          a.height() + (b.height() - a.height()) * progress};
}

QRect HeroOverlay::paintedRect(const Flight &flight, qreal progress) {
  return rectAt(flight, progress).toAlignedRect().adjusted(-1, -1, 1, 1);
}

qreal HeroOverlay::fadeOf(const Flight &flight) const {
  if (flight.to.isNull()) {
    return 0;
  }
  if (flight.toSince >= 1) {
    return 1;
  }
  return qBound(0.0, (m_progress - flight.toSince) / (1 - flight.toSince), 1.0);
}

void HeroOverlay::land() {
  setDestinationsHidden(false);
  m_flights.clear();
  hide();
  parentWidget()->update();
}

// The destination would show at its final place under the flying copy; an opacity effect
// keeps it out of sight without touching its layout. A widget with its own effect (an
// entrance, say) is left alone.
void HeroOverlay::setDestinationsHidden(bool hidden) {
  for (const Flight &f : m_flights) {
    if (!f.destination) {
      continue;
    }
    auto *current = qobject_cast<QGraphicsOpacityEffect *>(f.destination->graphicsEffect());
    if (hidden && f.destination->graphicsEffect() == nullptr) {
      auto *effect = new QGraphicsOpacityEffect(f.destination);
      effect->setObjectName(QStringLiteral("heroHidden"));
      effect->setOpacity(0);
      f.destination->setGraphicsEffect(effect);
    } else if (!hidden && current != nullptr &&
               current->objectName() == QLatin1String("heroHidden")) {
      f.destination->setGraphicsEffect(nullptr);
    }
  }
}

void HeroOverlay::paintEvent(QPaintEvent *) {
  QPainter p(this);
  const qreal progress = qBound(0.0, m_progress, 1.0);
  // Smooth scaling only for the still frames at either end; a moving copy is redrawn at
  // the next frame anyway, and the fast path keeps each frame within a few milliseconds.
  p.setRenderHint(QPainter::SmoothPixmapTransform, progress <= 0 || progress >= 1);
  for (const Flight &f : m_flights) {
    const QRectF r = rectAt(f, m_progress);
    const qreal fade = fadeOf(f);
    // The outgoing picture stays opaque under the incoming one until the incoming one
    // covers it, so the flying copy never lets the screen beneath show through.
    if (fade < 1) {
      p.setOpacity(1);
      p.drawPixmap(r, f.from, QRectF(f.from.rect()));
    }
    if (fade > 0) {
      p.setOpacity(fade);
      p.drawPixmap(r, f.to, QRectF(f.to.rect()));
    }
  }
}

} // namespace lumora
