// The group card: binding a group, following the store, its states and their animation.
// Pointer handling, painting and the menu are in GroupCardInput.cpp and GroupCardPaint.cpp.
#include "app/results/GroupCard.h"

#include "app/results/CleanupButton.h"
#include "app/results/GroupCardFace.h"
#include "app/results/GroupCardHero.h"
#include "app/results/GroupCardTexts.h"
#include "app/shell/SelfTestSeam.h"
#include "app/shell/components/FocusRingOverlay.h"
#include "app/shell/components/HeroNamespace.h"
#include "app/shell/components/HeroZoom.h"
#include "app/shell/components/KeyCatcherView.h"
#include "app/shell/components/LeavingPicture.h"
#include "app/shell/motion/Motion.h"
#include "app/store/AppStore.h"
#include "app/store/texts/Fmt.h"
#include "platform/gui/ReduceMotion.h"

#include <QApplication>
#include <QMessageBox>
#include <algorithm>

namespace lumora {
namespace {

constexpr int kGroupsWithoutStagger = 30;
constexpr double kStaggerSeconds = 0.018;
constexpr double kStaggerCapSeconds = 0.24;

} // namespace

GroupCard::GroupCard(AppStore &store, HeroNamespace *heroNamespace, QWidget *parent)
    : QWidget(parent), m_store(store), m_heroNamespace(heroNamespace),
      m_face(new GroupCardFace(store.thumbnails(), this)),
      m_hero(new GroupCardHero(store.thumbnails(), this)), m_button(new CleanupButton(this)),
      m_focusRing(new FocusRingOverlay(GroupCardLayout::kCornerRadius, this)), m_motion(this) {
  setMouseTracking(true);
  setAttribute(Qt::WA_Hover);
  setMinimumSize(kMinimumWidth + kOutset.left() + kOutset.right(),
                 kHeight + kOutset.top() + kOutset.bottom());
  m_focusRing->hide();
  m_button->installEventFilter(this);
  connect(m_button, &QPushButton::clicked, this, &GroupCard::confirmCleanup);
  connect(m_face, &GroupCardFace::changed, this, qOverload<>(&QWidget::update));
  // The card a photo flies back to is there already: it skips its entrance.
  connect(m_hero, &GroupCardHero::landing, this, &GroupCard::finishAnimations);
  m_entranceTimer.setSingleShot(true);
  m_entranceTimer.setTimerType(Qt::PreciseTimer);
  connect(&m_entranceTimer, &QTimer::timeout, this, [this] { setEntered(true); });
  m_motion.jumpTo(1.0);
  connect(&m_motion, &QVariantAnimation::valueChanged, this, &GroupCard::lookStepped);
  m_state.reduceMotion = platform::reduceMotion();
  m_from = m_to = GroupCardLook::of(m_state);
  m_knownGroupCount = m_store.groups().size();
  connectStore();
  lookStepped();
}

GroupCard::GroupCard(AppStore &store, const PhotoGroup &group, HeroNamespace *heroNamespace,
                     int entryIndex, QWidget *parent)
    : GroupCard(store, heroNamespace, parent) {
  setGroup(group, entryIndex);
}

// Its children (a confirmation dialog among them) go after this body, and may move the focus
// on their way: the card no longer follows it.
GroupCard::~GroupCard() { disconnect(qApp, nullptr, this, nullptr); }

void GroupCard::connectStore() {
  connect(&m_store, &AppStore::selectedGroupIDsChanged, this, &GroupCard::selectionChanged);
  connect(&m_store, &AppStore::focusedGroupIDChanged, this,
          [this] { applyState(stateFromStore(), Cause::focus); });
  // The ring marks where the keys go: it leaves with the keyboard focus (to a button, a
  // toast, an alert) and comes back with it.
  connect(qApp, &QApplication::focusChanged, this, [this] { lookStepped(); });
  connect(&m_store, &AppStore::exitingGroupIDsChanged, this,
          [this] { applyState(stateFromStore(), Cause::exit); });
  connect(&m_store, &AppStore::isScrollingChanged, this, [this] {
    // Scrolling takes the highlight away; the cursor stays what it is.
    if (m_store.isScrolling()) {
      setHovering(false);
    }
  });
  connect(&m_store, &AppStore::isSelectingChanged, this, &GroupCard::sourceOrSelectingChanged);
  connect(&m_store, &AppStore::sourceKindChanged, this, &GroupCard::sourceOrSelectingChanged);
  connect(&m_store, &AppStore::cleaningGroupIDChanged, this, &GroupCard::refreshButton);
  connect(&m_store, &AppStore::sortChanged, this, [this] { scheduleEntrance(true); });
  connect(&m_store, &AppStore::groupsChanged, this, &GroupCard::groupCountChanged);
  connect(&platform::ReduceMotionNotifier::instance(), &platform::ReduceMotionNotifier::changed,
          this, [this](bool reduce) {
            GroupCardState next = m_state;
            next.reduceMotion = reduce;
            applyState(next, Cause::none);
            registerHero();
          });
}

void GroupCard::setGroup(const PhotoGroup &group, int entryIndex) {
  const bool another = !m_bound || group.id != m_group.id;
  m_group = group;
  m_entryIndex = entryIndex;
  m_bound = true;
  if (another) {
    resetViewStates();
  }
  m_face->setGroup(m_group);
  applyState(stateFromStore(), another ? Cause::none : Cause::selection);
  sourceOrSelectingChanged();
  if (another && isVisible()) {
    scheduleEntrance(false);
  }
  update();
}

void GroupCard::resetViewStates() {
  if (m_confirmation) {
    m_confirmation->close();
  }
  m_entranceTimer.stop();
  m_pressAt.reset();
  resetPointer();
  GroupCardState fresh;
  fresh.reduceMotion = m_state.reduceMotion;
  m_state = fresh;
  m_motion.jumpTo(1.0);
  m_from = m_to = GroupCardLook::of(m_state);
}

GroupCardState GroupCard::stateFromStore() const {
  GroupCardState state = m_state;
  state.selected = m_bound && m_store.selectedGroupIDs().contains(m_group.id);
  state.focused = m_bound && m_store.focusedGroupID() == m_group.id;
  state.exiting = m_bound && m_store.exitingGroupIDs().contains(m_group.id);
  return state;
}

void GroupCard::setCellGeometry(const QRect &cell) { setGeometry(cell.marginsAdded(kOutset)); }

QRect GroupCard::cardRect() const { return rect().marginsRemoved(kOutset); }

QSize GroupCard::sizeHint() const { return QSize(340, kHeight).grownBy(kOutset); }

GroupCardLook GroupCard::targetLook() const { return m_to; }

GroupCardLook GroupCard::currentLook() const {
  return GroupCardLook::between(m_from, m_to, m_motion.value().toDouble());
}

QPushButton *GroupCard::cleanupButton() const { return m_button; }

// A place that shows a stand-in (the same photo, from elsewhere) is not waited for: the
// user sees the photo, and its own size replaces it without a fade.
bool GroupCard::isLoadingImages() const {
  return m_hero->isEmptyWhilePending() || m_face->isEmptyWhilePending();
}

void GroupCard::finishAnimations() {
  if (m_entranceTimer.isActive()) {
    m_entranceTimer.stop();
    GroupCardState next = m_state;
    next.entered = true;
    m_state = next;
    m_to = GroupCardLook::of(m_state);
  }
  m_from = m_to;
  m_motion.jumpTo(1.0);
  lookStepped();
}

bool GroupCard::isAnimating() const {
  return m_motion.state() == QAbstractAnimation::Running || m_entranceTimer.isActive();
}

// Each watched value animates with its own curve; under reduced motion the springs and the
// press become the 0.14 s ease-out (the animation resolves that) and focus does not animate.
void GroupCard::applyState(const GroupCardState &state, Cause cause) {
  if (state == m_state) {
    return;
  }
  m_state = state;
  m_from = currentLook();
  m_to = GroupCardLook::of(m_state);
  const bool jump = cause == Cause::none || (cause == Cause::focus && m_state.reduceMotion);
  if (jump) {
    m_from = m_to;
    m_motion.jumpTo(1.0);
    lookStepped();
    return;
  }
  switch (cause) {
  case Cause::hover: m_motion.setCurve(motion::snappy()); break;
  case Cause::press: m_motion.setCurve(motion::easeOut(0.09)); break;
  case Cause::entrance:
  case Cause::exit: m_motion.setCurve(motion::smooth()); break;
  default: m_motion.setCurve(motion::fast()); break;
  }
  m_motion.jumpTo(0.0);
  m_motion.animateTo(1.0);
}

void GroupCard::lookStepped() {
  const GroupCardLook look = currentLook();
  m_hero->setLook(std::clamp(look.opacity, 0.0, 1.0), look.hoverChip, look.selectedFill);
  m_face->setSelectedFill(look.selectedFill);
  // The button is a real child: it fades with the card (entrance and exit) on its own.
  m_button->setOpacity(look.opacity < 0.999 ? look.opacity : 1.0);
  m_focusRing->setVisible(m_bound && look.focusRing > 0.5 && KeyCatcherView::holdsKeysFor(this));
  placeChildren();
  update();
}

void GroupCard::setHovering(bool hovering) {
  GroupCardState next = m_state;
  next.hovering = hovering;
  applyState(next, Cause::hover);
}

void GroupCard::setPressed(bool pressed) {
  if (pressed == m_state.pressed) {
    return;
  }
  GroupCardState next = m_state;
  next.pressed = pressed;
  applyState(next, Cause::press);
  if (UISelfTest::isEnabled() && m_bound) {
    m_store.setLastPressedGroupID(pressed ? std::optional(m_group.id) : std::nullopt);
  }
}

void GroupCard::setEntered(bool entered) {
  GroupCardState next = m_state;
  next.entered = entered;
  applyState(next, Cause::entrance);
}

void GroupCard::scheduleEntrance(bool force) {
  if (!force && m_state.entered) {
    return;
  }
  const bool atOnce = m_state.reduceMotion ||
                      m_store.groups().size() > static_cast<std::size_t>(kGroupsWithoutStagger) ||
                      m_store.phase().isScanning() || m_store.isRegrouping();
  if (atOnce) {
    // Out and in within one step shows nothing of the way out. Beneath a still picture of
    // the grid as it was (a live regroup) nobody sees the fade, and the picture may leave
    // at once when the photos are there: the card is whole by then.
    m_entranceTimer.stop();
    GroupCardState next = m_state;
    next.entered = true;
    applyState(next, LeavingPicture::covers(this) ? Cause::none : Cause::entrance);
    return;
  }
  if (force) {
    setEntered(false);
  }
  const double delay = std::min(m_entryIndex * kStaggerSeconds, kStaggerCapSeconds);
  m_entranceTimer.start(static_cast<int>(std::max(delay, 0.0) * 1000));
}

void GroupCard::selectionChanged() {
  applyState(stateFromStore(), Cause::selection);
  m_face->setSelected(m_state.selected);
  m_hero->setSelection(m_store.isSelecting(), m_state.selected);
  refreshButton();
  refreshAccessibility();
  update();
}

void GroupCard::sourceOrSelectingChanged() {
  m_face->setSource(m_store.sourceKind());
  m_face->setSelected(m_state.selected);
  m_hero->setGroup(m_group, m_store.sourceKind());
  m_hero->setSelection(m_store.isSelecting(), m_state.selected);
  refreshButton();
  refreshAccessibility();
  registerHero();
  update();
}

void GroupCard::groupCountChanged() {
  const std::size_t count = m_store.groups().size();
  if (count == m_knownGroupCount) {
    return;
  }
  m_knownGroupCount = count;
  // Groups arriving live during a scan or a pending regroup replay nothing.
  if (!m_store.phase().isScanning() && !m_store.isRegrouping()) {
    scheduleEntrance(true);
  }
}

void GroupCard::refreshButton() {
  const std::int64_t candidates = groupcardtexts::candidateCount(m_group);
  const std::optional<std::string> &cleaning = m_store.cleaningGroupID();
  const bool isCleaning = m_bound && cleaning == m_group.id;
  const std::int64_t bytes = m_group.reclaimableBytes();
  m_button->setLabel(isCleaning ? groupcardtexts::cleaningTitle()
                                : groupcardtexts::cleanupTitle(m_store.sourceKind(), candidates),
                     bytes >= 1 ? Fmt::byteCount(bytes) : QString());
  m_button->setCleaning(isCleaning);
  m_button->setPlain(m_state.selected);
  m_button->setEnabled(!cleaning && candidates > 0 && !m_store.isSelecting());
  m_button->setAccessibleName(groupcardtexts::cleanupAccessibleName(candidates));
}

void GroupCard::refreshAccessibility() {
  setAccessibleName(groupcardtexts::accessibleName(m_group, m_state.selected));
  setAccessibleDescription(groupcardtexts::accessibleHint(m_store.isSelecting()));
}

// The hero image zooms into the detail only outside selection mode and with full motion.
void GroupCard::registerHero() {
  if (m_heroNamespace == nullptr) {
    return;
  }
  const bool enabled = m_bound && !m_state.reduceMotion && !m_store.isSelecting();
  m_heroNamespace->unregisterWidget(m_hero);
  heroZoom::source(m_hero, m_heroNamespace, QString::fromStdString(m_group.id), enabled);
}

} // namespace lumora
