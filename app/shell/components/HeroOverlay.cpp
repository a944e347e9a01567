#include "app/shell/components/HeroOverlay.h"

#include "app/shell/components/ThumbnailPainting.h"
#include "app/shell/motion/Motion.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace lumora {
namespace {

qreal mix(qreal a, qreal b, qreal progress) { return a + (b - a) * progress; }

QRectF mix(const QRectF &a, const QRectF &b, qreal progress) {
  return {mix(a.x(), b.x(), progress), mix(a.y(), b.y(), progress),
          mix(a.width(), b.width(), progress), mix(a.height(), b.height(), progress)};
}

HeroCorners mix(const HeroCorners &a, const HeroCorners &b, qreal progress) {
  return {mix(a.topLeft, b.topLeft, progress), mix(a.topRight, b.topRight, progress),
          mix(a.bottomRight, b.bottomRight, progress), mix(a.bottomLeft, b.bottomLeft, progress)};
}

QRectF visibleAt(const HeroOverlay::Flight &flight, qreal progress) {
  return flight.to ? mix(QRectF(flight.from.visible), QRectF(flight.to->visible), progress)
                   : QRectF(flight.from.visible);
}

HeroCorners cornersAt(const HeroOverlay::Flight &flight, qreal progress) {
  return flight.to ? mix(flight.from.corners, flight.to->corners, std::clamp(progress, 0.0, 1.0))
                   : flight.from.corners;
}

// A rectangle with its own radius at each corner (a radius of 0 is a square corner).
QPainterPath framePath(const QRectF &r, const HeroCorners &corners) {
  const qreal most = std::min(r.width(), r.height()) / 2;
  const auto radius = [most](qreal value) { return std::clamp(value, 0.0, most); };
  const qreal tl = radius(corners.topLeft);
  const qreal tr = radius(corners.topRight);
  const qreal br = radius(corners.bottomRight);
  const qreal bl = radius(corners.bottomLeft);
  QPainterPath path;
  path.moveTo(r.left() + tl, r.top());
  path.lineTo(r.right() - tr, r.top());
  path.arcTo(QRectF(r.right() - 2 * tr, r.top(), 2 * tr, 2 * tr), 90, -90);
  path.lineTo(r.right(), r.bottom() - br);
  path.arcTo(QRectF(r.right() - 2 * br, r.bottom() - 2 * br, 2 * br, 2 * br), 0, -90);
  path.lineTo(r.left() + bl, r.bottom());
  path.arcTo(QRectF(r.left(), r.bottom() - 2 * bl, 2 * bl, 2 * bl), 270, -90);
  path.lineTo(r.left(), r.top() + tl);
  path.arcTo(QRectF(r.left(), r.top(), 2 * tl, 2 * tl), 180, -90);
  path.closeSubpath();
  return path;
}

// The badges ride on the photo: drawn into the frame of the moment, they move and grow
// with it, and stand exactly where their side shows them at either end of the flight.
void drawBadges(QPainter &painter, const HeroOverlay::Side &side, const QRectF &frame,
                qreal opacity) {
  if (side.badges.isNull() || opacity <= 0) {
    return;
  }
  painter.setOpacity(opacity);
  painter.drawPixmap(frame, side.badges, QRectF(side.badges.rect()));
}

} // namespace

HeroOverlay::HeroOverlay(QWidget *parent) : QWidget(parent), m_animation(motion::smooth()) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  hide();
  m_animation.setMaxStep(motion::kMaxScreenStepMs);
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

QRect HeroOverlay::frameIn(const QWidget *host, const QWidget *widget) {
  return {widget->mapTo(host, QPoint(0, 0)), widget->size()};
}

QRect HeroOverlay::visibleIn(const QWidget *host, const QWidget *widget) {
  QRect visible = frameIn(host, widget);
  for (const QWidget *a = widget->parentWidget(); a != nullptr && a != host;
       a = a->parentWidget()) {
    visible &= frameIn(host, a);
  }
  return visible;
}

void HeroOverlay::hold(Flight flight) {
  m_flights.push_back(std::move(flight));
  setGeometry(parentWidget()->rect());
  raise();
  show();
  update(paintedRect(m_flights.back(), m_progress));
}

void HeroOverlay::launch() {
  if (m_flights.empty()) {
    return;
  }
  m_animation.jumpTo(0.0);
  m_animation.animateTo(1.0);
}

void HeroOverlay::land() {
  m_animation.stop();
  const std::vector<Flight> flights = std::exchange(m_flights, {});
  m_progress = 0;
  for (const Flight &f : flights) {
    if (f.sourceWidget) {
      f.source->setHeroLayer(HeroView::Layer::whole);
    }
    if (f.destinationWidget) {
      if (f.destination->heroPhoto().isNull() && !f.photo.isNull()) {
        f.destination->receiveHeroPhoto(f.photo);
      }
      f.destination->setHeroLayer(HeroView::Layer::whole);
    }
  }
  hide();
}

void HeroOverlay::setProgress(qreal progress) {
  m_animation.stop();
  setGeometry(parentWidget()->rect());
  raise();
  show();
  moveTo(progress);
}

void HeroOverlay::followDestinations() {
  for (Flight &f : m_flights) {
    if (!f.to || !f.destinationWidget) {
      continue;
    }
    f.to->rect = frameIn(parentWidget(), f.destinationWidget);
    f.to->visible = visibleIn(parentWidget(), f.destinationWidget);
    // The same photo, as the destination shows it (it may be sharper): taken as it comes.
    const QImage own = f.destination->heroPhoto();
    if (!own.isNull() && own.cacheKey() != f.photo.cacheKey()) {
      f.photo = own;
      f.scaled = QPixmap();
    }
  }
}

// Repaints only where the flights were and where they are now, not the whole window.
void HeroOverlay::moveTo(qreal progress) {
  QRegion dirty;
  for (const Flight &f : m_flights) {
    dirty += paintedRect(f, m_progress);
  }
  followDestinations();
  m_progress = progress;
  for (const Flight &f : m_flights) {
    dirty += paintedRect(f, m_progress);
  }
  update(dirty);
}

QRectF HeroOverlay::rectAt(const Flight &flight, qreal progress) {
  return flight.to ? mix(QRectF(flight.from.rect), QRectF(flight.to->rect), progress)
                   : QRectF(flight.from.rect);
}

QRect HeroOverlay::paintedRect(const Flight &flight, qreal progress) {
  return (rectAt(flight, progress) & visibleAt(flight, progress))
      .toAlignedRect()
      .adjusted(-1, -1, 1, 1);
}

const QPixmap &HeroOverlay::scaledPhoto(const Flight &flight, qreal devicePixelRatio) {
  if (!flight.scaled.isNull() || flight.photo.isNull()) {
    return flight.scaled;
  }
  const QSizeF image = flight.photo.size();
  qreal scale = 0;
  for (const QRect &frame : {flight.from.rect, flight.to ? flight.to->rect : flight.from.rect}) {
    scale = std::max({scale, frame.width() / image.width(), frame.height() / image.height()});
  }
  scale *= devicePixelRatio;
  flight.scaled = QPixmap::fromImage(
      scale >= 1 ? flight.photo
                 : flight.photo.scaled(QSize(static_cast<int>(std::ceil(image.width() * scale)),
                                             static_cast<int>(std::ceil(image.height() * scale))),
                                       Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  return flight.scaled;
}

void HeroOverlay::paintFlight(QPainter &painter, const Flight &flight) const {
  const qreal screen = std::clamp(m_progress, 0.0, 1.0);
  const QRectF frame = rectAt(flight, m_progress);
  QPainterPath visible;
  visible.addRect(visibleAt(flight, m_progress));
  const QPainterPath shape = framePath(frame, cornersAt(flight, m_progress)).intersected(visible);
  const QPixmap &photo = scaledPhoto(flight, devicePixelRatioF());
  if (!photo.isNull()) {
    // Aspect-filled into the frame of the moment, as both sides show it at theirs.
    const QRectF source = thumbnailpainting::aspectFillSource(QSizeF(photo.size()), frame.size());
    QBrush brush(photo);
    QTransform transform;
    transform.translate(frame.left(), frame.top());
    transform.scale(frame.width() / source.width(), frame.height() / source.height());
    transform.translate(-source.left(), -source.top());
    brush.setTransform(transform);
    // Without a destination the photo stays and fades out with its screen.
    painter.setOpacity(flight.to ? 1.0 : 1.0 - screen);
    painter.setPen(Qt::NoPen);
    painter.setBrush(brush);
    painter.drawPath(shape);
  }
  // One set of badges at a time: the leaving side's are gone half way, the arriving side's
  // come in after, and stand whole when the photo lands.
  painter.save();
  painter.setClipPath(shape);
  drawBadges(painter, flight.from, frame, std::clamp(1.0 - 2 * screen, 0.0, 1.0));
  if (flight.to) {
    drawBadges(painter, *flight.to, frame, std::clamp(2 * screen - 1, 0.0, 1.0));
  }
  painter.restore();
}

void HeroOverlay::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  // Smooth scaling only for the still frames at either end; a moving photo is redrawn at
  // the next frame anyway, and the fast path keeps each frame within a few milliseconds.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, m_progress <= 0 || m_progress >= 1);
  for (const Flight &f : m_flights) {
    paintFlight(painter, f);
  }
}

} // namespace lumora
