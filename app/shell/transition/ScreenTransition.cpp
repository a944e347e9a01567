#include "app/shell/transition/ScreenTransition.h"

#include "app/shell/components/GentleAppear.h"
#include "app/shell/components/LeavingPicture.h"
#include "app/shell/components/WindowBackground.h"
#include "app/shell/transition/EntranceEffect.h"

#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <utility>

namespace lumora {
namespace {

/// The opacity and shift at which `screen`'s entrance draws it now.
std::pair<qreal, QPointF> entranceOf(const QWidget *screen) {
  const QGraphicsEffect *effect = screen->graphicsEffect();
  if (const auto *gentle = qobject_cast<const GentleAppear *>(effect)) {
    return {gentle->opacity(), {}};
  }
  if (const auto *entrance = qobject_cast<const EntranceEffect *>(effect)) {
    return {entrance->opacity(), entrance->shift()};
  }
  return {1.0, {}};
}

} // namespace

ScreenTransition::ScreenTransition(ThumbnailLoader &photos, QObject *parent)
    : QObject(parent), m_photos(photos) {
  // An animation rather than a timer: it runs on the animation clock.
  m_holdClock.setDuration(60 * 60 * 1000);
  m_holdClock.setStartValue(0.0);
  m_holdClock.setEndValue(1.0);
}

ScreenTransition::~ScreenTransition() { dropPicture(); }

LeavingPicture *ScreenTransition::picture() const { return m_picture; }

void ScreenTransition::setState(State state) {
  if (m_state == State::waitingForPhotos && state == State::held && isCountingWait()) {
    m_waitedBeforeMs += m_holdClock.currentTime() - m_waitStartedAtMs;
  }
  m_waitStartedAtMs = -1;
  if (state != State::held && state != State::waitingForPhotos) {
    m_holdClock.stop();
    m_waitedBeforeMs = 0;
    m_coversUnseen = false;
  }
  if (state != m_state) {
    m_state = state;
    emit stateChanged(state);
  }
}

void ScreenTransition::dropPicture() {
  if (m_picture) {
    m_picture->hide();
    m_picture->deleteLater();
  }
  m_picture = nullptr;
}

// Drawn by hand rather than with `render`, which draws a screen still entering at full
// strength: the window background, the screen at the strength and place its entrance has
// reached, then the picture still leaving over it.
QPixmap ScreenTransition::pictureShown(QWidget *screen, bool overBackdrop) const {
  if (screen == nullptr || !screen->isVisible()) {
    return {};
  }
  const auto [opacity, shift] = entranceOf(screen);
  QGraphicsEffect *effect = screen->graphicsEffect();
  if (effect != nullptr) {
    effect->setEnabled(false);
  }
  // A picture inside the screen is drawn once, over it, below.
  const bool inside = m_picture && screen->isAncestorOf(m_picture);
  if (inside) {
    m_picture->setLeftOut(true);
  }
  const QPixmap drawn = LeavingPicture::pictureOf(screen);
  if (inside) {
    m_picture->setLeftOut(false);
  }
  if (effect != nullptr) {
    effect->setEnabled(true);
  }
  QWidget *backdrop = overBackdrop ? screen->window()->findChild<WindowBackground *>() : nullptr;
  QPixmap picture = backdrop != nullptr ? LeavingPicture::backdropOf(screen, backdrop)
                                        : LeavingPicture::blank(screen);
  QPainter painter(&picture);
  painter.setOpacity(opacity);
  painter.drawPixmap(shift, drawn);
  painter.setOpacity(1);
  if (m_picture && m_picture->isVisible()) {
    const QWidget *window = screen->window();
    const QPoint at = m_picture->mapTo(window, QPoint()) - screen->mapTo(window, QPoint());
    m_picture->render(&painter, at, QRegion(), QWidget::DrawChildren);
  }
  return picture;
}

void ScreenTransition::hold(QWidget *screen, QPixmap shown, Cover cover) {
  if (m_state == State::held || shown.isNull()) {
    return;
  }
  ++m_generation;
  m_photos.cancel();
  if (m_state == State::waitingForPhotos && m_picture && m_picture->isStill() && isCountingWait()) {
    // The user still sees the picture of the last hold: it stands on for this change.
    setState(State::held);
    return;
  }
  dropPicture();
  m_picture = cover == Cover::inside ? LeavingPicture::holdInside(screen, std::move(shown))
                                     : LeavingPicture::hold(screen, std::move(shown));
  m_waitedBeforeMs = 0;
  m_holdClock.start();
  watchPicture();
  setState(State::held);
}

void ScreenTransition::release() {
  if (m_state != State::held) {
    return;
  }
  dropPicture();
  setState(State::idle);
}

void ScreenTransition::replace(QWidget *leaving, QWidget *entering, const Move &move,
                               std::function<void()> launched) {
  QPixmap shown = m_state == State::held && m_picture ? m_picture->picture()
                                                      : pictureShown(leaving, move.overBackdrop);
  m_holdClock.stop(); // a replacement waits for its own photos
  m_waitedBeforeMs = 0;
  ++m_generation;
  m_photos.cancel();
  dropPicture();
  m_picture = LeavingPicture::replace(leaving, std::move(shown), move.curve, move.leavingOffset);
  m_picture->hold();
  watchPicture();
  m_entrance = nullptr;
  if (entering != nullptr && move.entrance) {
    m_entrance =
        EntranceEffect::start(entering, move.curve, move.enteringOffset, move.enteringFades);
    m_entrance->hold();
  }
  if (entering != nullptr) {
    entering->lower();
  }
  setState(State::waitingForPhotos);
  m_coversUnseen = true;
  waitThenCross(move.waitsForPhotos ? entering : nullptr, [this, launched = std::move(launched)] {
    if (m_entrance) {
      m_entrance->restart();
    }
    if (m_picture) {
      m_picture->restart();
    }
    if (launched) {
      launched();
    }
  });
}

void ScreenTransition::finishNow() {
  ++m_generation;
  m_photos.cancel();
  dropPicture();
  setState(State::idle);
}

void ScreenTransition::dissolveHeld(QWidget *screen, const MotionCurve &curve) {
  if (m_state != State::held) {
    return;
  }
  setState(State::waitingForPhotos);
  if (m_holdClock.state() == QAbstractAnimation::Running) {
    m_waitStartedAtMs = m_holdClock.currentTime();
  }
  waitThenCross(screen, [this, curve] {
    if (m_picture) {
      m_picture->fadeOut(curve);
    }
  });
}

// The new content's places are known only after its layout ran, and the photos it asks
// for then: until both, the picture stands whole, however long building took.
void ScreenTransition::waitThenCross(QWidget *content, std::function<void()> cross) {
  const int generation = ++m_generation;
  QTimer::singleShot(
      0, this, [this, generation, content = QPointer<QWidget>(content), cross = std::move(cross)] {
        if (generation != m_generation) {
          return;
        }
        const int waitedMs =
            isCountingWait() ? m_waitedBeforeMs + m_holdClock.currentTime() - m_waitStartedAtMs : 0;
        m_photos.start(
            content,
            [this, generation, cross] {
              if (generation != m_generation) {
                return;
              }
              setState(m_picture ? State::crossing : State::idle);
              cross();
            },
            PhotoWait::kLimitMs - waitedMs);
      });
}

bool ScreenTransition::isCountingWait() const {
  return m_waitStartedAtMs >= 0 && m_holdClock.state() == QAbstractAnimation::Running;
}

void ScreenTransition::watchPicture() {
  // Only the picture of the change under way ends it.
  const auto ended = [this, picture = m_picture.data()] {
    if (m_picture == nullptr || m_picture == picture) {
      m_picture = nullptr;
      m_photos.cancel();
      setState(State::idle);
    }
  };
  connect(m_picture, &LeavingPicture::gone, this, ended);
  connect(m_picture, &QObject::destroyed, this, ended);
}

} // namespace lumora
