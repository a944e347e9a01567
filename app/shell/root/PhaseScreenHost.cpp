#include "app/shell/root/PhaseScreenHost.h"

#include "app/shell/ScreenFactory.h"
#include "app/shell/components/GentleAppear.h"
#include "app/shell/motion/Motion.h"
#include "app/shell/screens/EmptyResultsView.h"
#include "app/shell/screens/FailureStateView.h"
#include "app/shell/screens/IdleStateView.h"
#include "app/shell/screens/NoSimilarGroupsView.h"
#include "app/shell/screens/ScanLiveResultsView.h"
#include "app/shell/screens/ScanningView.h"
#include "app/store/AppStore.h"

#include <QApplication>
#include <utility>

namespace lumora {

using rootscreen::ScreenKind;

PhaseScreenHost::PhaseScreenHost(AppStore &store, const ScreenFactory &factory, HeroNamespace *hero,
                                 QWidget *parent)
    : QWidget(parent), m_store(store), m_factory(factory), m_hero(hero),
      m_transition(store.thumbnails()) {
  // A store action publishes its fields one by one (a new scan enters the scanning phase
  // before it clears the old photos); the choice is made once the action is over, so no
  // screen of a state in between is ever built. Connected before any screen, so the screen
  // is photographed before it follows the action's first change.
  m_pending.setSingleShot(true);
  m_pending.setInterval(0);
  connect(&m_pending, &QTimer::timeout, this, &PhaseScreenHost::follow);
  // An animation rather than a timer: it runs on the animation clock.
  m_quickScan.setDuration(kQuickScanMs);
  m_quickScan.setStartValue(0.0);
  m_quickScan.setEndValue(1.0);
  connect(&m_quickScan, &QAbstractAnimation::finished, this, &PhaseScreenHost::follow);
  // While the screen as it was stands still (a rescan's first moments, the photos of the
  // next screen on their way), the counts outside it say what it shows.
  connect(&m_transition, &ScreenTransition::stateChanged, this, [this](ScreenTransition::State s) {
    m_store.pinGroupCountShown(this, ScreenTransition::standsStill(s));
  });
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
  if (!m_pending.isActive() && m_screen && isVisible() &&
      m_transition.state() != ScreenTransition::State::held) {
    m_shown = m_transition.pictureShown(m_screen);
  }
  m_pending.start();
  // The screen already follows the action's changes, but it may be about to give way: until
  // it does, the window keeps showing it as it was before the action, never a state in
  // between (a half-cleared summary). Asked at every change: the one that decides may come
  // after others.
  if (!m_shown.isNull() && replaces(rootscreen::choose(m_store))) {
    m_transition.hold(m_screen, m_shown);
  }
}

bool PhaseScreenHost::replaces(const rootscreen::ScreenChoice &next) const {
  // The live results stay one screen through pause and resume: the banner and the grid
  // change in place.
  const auto live = ScreenKind::liveResults;
  return next != m_choice && !(next.kind == live && m_choice.kind == live);
}

bool PhaseScreenHost::waitsForQuickScan(const rootscreen::ScreenChoice &next) {
  const bool scanning = next.kind == ScreenKind::scanning || next.kind == ScreenKind::liveResults;
  if (m_quickScan.state() == QAbstractAnimation::Running) {
    if (scanning) {
      return true;
    }
    m_quickScan.stop();
    return false;
  }
  // Started only from the held results, once; the animation's end calls `follow` again. A
  // cached folder may hand over its first photos before the choice follows the scan's start:
  // the live results then come first, and the scan may end as quickly all the same.
  if (m_choice.kind != ScreenKind::results || !scanning ||
      m_transition.state() != ScreenTransition::State::held || m_quickScan.currentTime() > 0) {
    return false;
  }
  m_quickScan.start();
  return true;
}

void PhaseScreenHost::follow() {
  rootscreen::ScreenChoice next = rootscreen::choose(m_store);
  m_shown = QPixmap();
  if (!replaces(next)) {
    m_quickScan.stop();
    m_quickScan.setCurrentTime(0);
    // The screen stays (a rescan that ended quickly with the same kind of screen): what it
    // showed dissolves into what it shows now, once its photos are there.
    m_transition.dissolveHeld(m_screen, motion::fast());
    m_choice = std::move(next);
    // A failure of the same kind keeps its screen, which shows the new texts.
    if (auto *failure = qobject_cast<FailureStateView *>(m_screen.data())) {
      failure->setFailure(m_store.phase().failure);
    }
    return;
  }
  if (waitsForQuickScan(next)) {
    return;
  }
  m_quickScan.setCurrentTime(0);
  // A new token dissolves the screens; a new screen under the same token (the scanning
  // card giving way to the live results at the first batch) takes its place at once.
  const bool dissolves = next.token != m_choice.token;
  m_choice = std::move(next);
  ++m_replacements;
  build(dissolves);
  emit screenReplaced();
}

void PhaseScreenHost::build(bool animated) {
  QWidget *old = m_screen;
  const ScreenTransition::Move move = moveTo(m_choice.kind);
  QWidget *screen = makeScreen(m_choice.kind);
  screen->setGeometry(rect());
  if (rootscreen::appearsGently(m_choice.kind)) {
    GentleAppear::apply(screen);
  }
  screen->show();
  m_screen = screen;
  if (old == nullptr) {
    return;
  }
  if (animated) {
    m_transition.replace(old, screen, move);
    return;
  }
  // Hidden with the keys, the old screen would pass them on to the next control of the
  // chain; the area holds them until the new screen's key catcher takes them.
  if (const QWidget *focus = QApplication::focusWidget(); focus && old->isAncestorOf(focus)) {
    setFocus(Qt::OtherFocusReason);
  }
  old->hide();
  old->deleteLater();
  // What the area showed before the change dissolves into the new screen.
  m_transition.dissolveHeld(screen, motion::fast());
}

// The results that follow the live results show the same summary bar and grid one banner
// higher: both sides move up by the banner together, so those keep their places on screen
// as they dissolve, and the banner leaves upward. Live results still unseen beneath the
// picture of the results before them lend no banner: that picture dissolves in place.
ScreenTransition::Move PhaseScreenHost::moveTo(ScreenKind kind) const {
  ScreenTransition::Move move{motion::fast()};
  move.entrance = false;
  const auto *live = qobject_cast<const ScanLiveResultsView *>(m_screen.data());
  if (kind == ScreenKind::results && live != nullptr && live->grid() != nullptr &&
      live->grid()->isVisible() && !m_transition.coversUnseenScreen()) {
    const qreal banner = live->grid()->mapTo(live, QPoint()).y();
    move.leavingOffset = QPointF(0, -banner);
    move.enteringOffset = QPointF(0, banner);
    move.entrance = true;
  }
  return move;
}

QWidget *PhaseScreenHost::makeScreen(ScreenKind kind) {
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
