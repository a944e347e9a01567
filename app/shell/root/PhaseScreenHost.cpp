#include "app/shell/root/PhaseScreenHost.h"

#include "app/shell/ScreenFactory.h"
#include "app/shell/components/GentleAppear.h"
#include "app/shell/components/LoadingImages.h"
#include "app/shell/motion/Motion.h"
#include "app/shell/root/EntranceEffect.h"
#include "app/shell/root/ExitSnapshot.h"
#include "app/shell/screens/EmptyResultsView.h"
#include "app/shell/screens/FailureStateView.h"
#include "app/shell/screens/IdleStateView.h"
#include "app/shell/screens/NoSimilarGroupsView.h"
#include "app/shell/screens/ScanLiveResultsView.h"
#include "app/shell/screens/ScanningView.h"
#include "app/store/AppStore.h"

#include <QGraphicsEffect>
#include <QPainter>
#include <algorithm>
#include <utility>

namespace lumora {

PhaseScreenHost::PhaseScreenHost(AppStore &store, const ScreenFactory &factory, HeroNamespace *hero,
                                 QWidget *parent)
    : QWidget(parent), m_store(store), m_factory(factory), m_hero(hero) {
  // A store action publishes its fields one by one (a new scan enters the scanning phase
  // before it clears the old photos); the choice is made once the action is over, so no
  // screen of a state in between is ever built. Connected before any screen, so the screen
  // is photographed before it follows the action's first change.
  m_pending.setSingleShot(true);
  m_pending.setInterval(0);
  connect(&m_pending, &QTimer::timeout, this, &PhaseScreenHost::follow);
  m_imageWait.setInterval(8);
  connect(&m_imageWait, &QTimer::timeout, this, [this] { checkImages(false); });
  for (auto signal : {&AppStore::phaseChanged, &AppStore::itemsChanged, &AppStore::groupsChanged,
                      &AppStore::isPausedChanged, &AppStore::isPauseRequestedChanged,
                      &AppStore::lastResultChanged, &AppStore::isSelectingChanged,
                      &AppStore::isRegroupingChanged}) {
    connect(&m_store, signal, this, &PhaseScreenHost::storeChanging);
  }
  m_choice = rootscreen::choose(m_store);
  build(false);
}

void PhaseScreenHost::storeChanging() {
  if (!m_pending.isActive() && m_screen && isVisible()) {
    m_shown = pictureShown();
  }
  m_pending.start();
  // The screen already follows the action's changes, but it is about to give way: until it
  // does, the window keeps showing it as it was, never a state in between (a finished scan's
  // banner in its paused form, a half-cleared summary).
  if (m_held == nullptr && !m_shown.isNull() && replaces(rootscreen::choose(m_store))) {
    m_held = ExitSnapshot::hold(m_screen, m_shown);
  }
}

bool PhaseScreenHost::replaces(const rootscreen::ScreenChoice &next) const {
  // The live results stay one screen through pause and resume: the banner and the grid
  // change in place.
  const auto live = rootscreen::ScreenKind::liveResults;
  return next != m_choice && !(next.kind == live && m_choice.kind == live);
}

void PhaseScreenHost::follow() {
  rootscreen::ScreenChoice next = rootscreen::choose(m_store);
  QPixmap shown = std::exchange(m_shown, QPixmap());
  if (m_held != nullptr) {
    // What comes next is built at once, under the same picture (or the screen shows through
    // as it is now, when it stays).
    m_held->hide();
    m_held->deleteLater();
  }
  if (!replaces(next)) {
    m_choice = std::move(next);
    // A failure of the same kind keeps its screen, which shows the new texts.
    if (auto *failure = qobject_cast<FailureStateView *>(m_screen.data())) {
      failure->setFailure(m_store.phase().failure);
    }
    return;
  }
  // A new token fades the screens; a new screen under the same token (the scanning card
  // giving way to the live results at the first batch) takes its place at once.
  const bool fades = next.token != m_choice.token;
  m_choice = std::move(next);
  ++m_replacements;
  build(fades, std::move(shown));
  emit screenReplaced();
}

void PhaseScreenHost::build(bool animated, QPixmap shown) {
  checkImages(true);
  ExitSnapshot *exit = nullptr;
  if (m_screen && animated) {
    // The area as the user last saw it, before the action that replaces it began: with a
    // change still fading, the fading picture and the screen coming in as far as they had
    // come. That one picture takes the place of both; the screen's own picture alone would
    // show a screen caught at the start of its fade-in, close to empty.
    if (shown.isNull()) {
      shown = pictureShown();
    }
    for (const QPointer<ExitSnapshot> &earlier : std::as_const(m_exits)) {
      if (earlier) {
        earlier->hide();
        earlier->deleteLater();
      }
    }
    m_exits.clear();
    exit = ExitSnapshot::replace(m_screen, std::move(shown), motion::fast());
    m_exits.append(exit);
  } else if (m_screen) {
    m_screen->deleteLater();
  }
  QWidget *screen = makeScreen(m_choice.kind);
  screen->setGeometry(rect());
  EntranceEffect *entrance = nullptr;
  if (rootscreen::appearsGently(m_choice.kind)) {
    GentleAppear::apply(screen);
  } else if (animated) {
    entrance = EntranceEffect::start(screen, motion::fast());
  }
  screen->show();
  screen->lower();
  m_screen = screen;
  if (exit != nullptr) {
    waitForImages(exit, entrance);
  }
}

// Drawn by hand rather than with `render`, which draws a screen still entering at full
// strength: the screen at the opacity its entrance has reached, then the earlier pictures
// over it at the strength they still have.
QPixmap PhaseScreenHost::pictureShown() {
  if (!m_screen || !m_screen->isVisible()) {
    return {};
  }
  qreal opacity = 1;
  QGraphicsEffect *effect = m_screen->graphicsEffect();
  if (const auto *gentle = qobject_cast<GentleAppear *>(effect)) {
    opacity = gentle->opacity();
  } else if (const auto *entrance = qobject_cast<EntranceEffect *>(effect)) {
    opacity = std::clamp(entrance->progress(), 0.0, 1.0);
  }
  if (effect != nullptr) {
    effect->setEnabled(false);
  }
  const QPixmap screen = ExitSnapshot::pictureOf(m_screen);
  if (effect != nullptr) {
    effect->setEnabled(true);
  }
  QPixmap picture(screen.size());
  picture.setDevicePixelRatio(screen.devicePixelRatio());
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setOpacity(opacity);
  painter.drawPixmap(QPoint(0, 0), screen);
  painter.setOpacity(1);
  for (const QPointer<ExitSnapshot> &earlier : std::as_const(m_exits)) {
    if (earlier && earlier->isVisible()) {
      earlier->render(&painter, earlier->pos() - m_screen->pos(), QRegion(), QWidget::DrawChildren);
    }
  }
  return picture;
}

// The new screen's cards ask for their photos as they show: most come from the cache at
// once, the others a few frames later. Fading in before, the results would dissolve into
// empty picture boxes that then fill one by one.
void PhaseScreenHost::waitForImages(ExitSnapshot *exit, EntranceEffect *entrance) {
  if (!LoadingImages::anyIn(m_screen)) {
    return;
  }
  exit->hold();
  if (entrance != nullptr) {
    entrance->hold();
  }
  m_waitingExit = exit;
  m_waitingEntrance = entrance;
  m_imageWaitClock.start();
  m_imageWait.start();
}

void PhaseScreenHost::checkImages(bool force) {
  if (!m_imageWait.isActive() ||
      (!force && m_imageWaitClock.elapsed() < kImageWaitMs && LoadingImages::anyIn(m_screen))) {
    return;
  }
  m_imageWait.stop();
  if (m_waitingExit) {
    m_waitingExit->restart();
  }
  if (m_waitingEntrance) {
    m_waitingEntrance->restart();
  }
}

QWidget *PhaseScreenHost::makeScreen(rootscreen::ScreenKind kind) {
  using rootscreen::ScreenKind;
  switch (kind) {
  case ScreenKind::idle: return new IdleStateView(m_store, this);
  case ScreenKind::scanning: return new ScanningView(m_store, this);
  case ScreenKind::liveResults: return new ScanLiveResultsView(m_store, m_factory, this);
  case ScreenKind::failure: return new FailureStateView(m_store, m_store.phase().failure, this);
  case ScreenKind::emptyResults: return new EmptyResultsView(m_store, {}, this);
  case ScreenKind::noSimilarGroups: return new NoSimilarGroupsView(m_store, this);
  case ScreenKind::results: break;
  }
  return m_factory.makeResultsView(m_store, m_hero, this);
}

void PhaseScreenHost::resizeEvent(QResizeEvent *) {
  if (m_screen) {
    m_screen->setGeometry(rect());
  }
}

} // namespace lumora
