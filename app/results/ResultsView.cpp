#include "app/results/ResultsView.h"

#include "app/results/BatchCleanupDialog.h"
#include "app/results/GridKeyView.h"
#include "app/results/GroupCard.h"
#include "app/results/MonthIndexRail.h"
#include "app/results/ResultsGrid.h"
#include "app/results/SummaryBar.h"
#include "app/shell/components/LeavingPicture.h"
#include "app/shell/components/WindowShortcut.h"
#include "app/shell/motion/Motion.h"
#include "app/shell/theme/Theme.h"
#include "app/store/AppStore.h"
#include "platform/gui/KeyCodes.h"

#include <QAction>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>
#include <tuple>

namespace lumora {

ResultsView::~ResultsView() = default;

ResultsView::ResultsView(AppStore &store, HeroNamespace *hero, QWidget *parent)
    : QWidget(parent), m_store(store),
      m_keys(store, {[this] { return columnCount(); }, [this](int step) { jumpMonth(step); }}),
      m_railOpacity(motion::fast()), m_transition(store.thumbnails()) {
  m_railTimer.setSingleShot(true);
  m_railTimer.setInterval(kRailActivityMs);
  connect(&m_railTimer, &QTimer::timeout, this, [this] {
    m_railActive = false;
    updateRailEmphasis();
  });
  // Connected before the summary bar is built, which follows the groups itself: the view
  // is photographed as the user saw it, before any part of it takes the new groups.
  connect(&m_store, &AppStore::groupsChanged, this, [this] {
    if (m_store.isRegrouping() || m_store.phase().isScanning()) {
      holdGrid(true);
    }
  });
  // While a picture of the groups as they were stands, the counts outside it say what it
  // shows.
  connect(&m_transition, &ScreenTransition::stateChanged, this, [this](ScreenTransition::State s) {
    m_store.pinGroupCountShown(this, ScreenTransition::standsStill(s));
  });
  buildLayout(hero);
  bindStore();
  groupsChanged();
}

void ResultsView::buildLayout(HeroNamespace *hero) {
  auto *column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  m_summaryBar = new SummaryBar(m_store, this);
  column->addWidget(m_summaryBar);
  m_hairline = new QWidget(this);
  m_hairline->setFixedHeight(1);
  column->addWidget(m_hairline);
  auto *row = new QHBoxLayout();
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  m_grid = new ResultsGrid(m_store, hero, m_hud, this);
  m_rail = new MonthIndexRail(this);
  row->addWidget(m_grid, 1);
  row->addWidget(m_rail);
  column->addLayout(row, 1);
  m_batchDialog = std::make_unique<BatchCleanupDialog>(m_store, this);
  m_keyView = new GridKeyView(this);
  m_keyView->setFixedSize(0, 0);
  m_keyView->setKeyHandler([this](const platform::keycodes::KeyCode &key) {
    return m_keys.handle(key.code, key.command);
  });
  connect(m_grid, &ResultsGrid::pressed, m_keyView, [this] { m_keyView->setFocus(); });
  connect(m_keyView, &GridKeyView::tabbedIn, this, &ResultsView::focusCardInView);
  connect(m_grid, &ResultsGrid::monthTracked, this, &ResultsView::monthTracked);
  // The rail belongs to the date layout that dims as a whole while the store regroups.
  connect(m_grid, &ResultsGrid::opacityChanged, m_rail, &MonthIndexRail::setGroupOpacity);
  connect(m_rail, &MonthIndexRail::sectionSelected, this, [this](const QString &id) {
    if (const auto index = m_grid->sectionIndex(id)) {
      m_grid->scrollToSection(*index);
    }
  });
  connect(m_rail, &MonthIndexRail::hoveringChanged, this, [this](bool hovering) {
    m_railHovering = hovering;
    updateRailEmphasis();
  });
  connect(&m_hud, &MonthHudModel::currentMonthIDChanged, this,
          [this] { m_rail->setCurrentID(m_hud.currentMonthID()); });
  connect(&m_railOpacity, &QVariantAnimation::valueChanged, this,
          [this](const QVariant &value) { m_rail->setContentOpacity(value.toDouble()); });
  m_railOpacity.jumpTo(kRailIdleOpacity);
  m_rail->setContentOpacity(kRailIdleOpacity);
}

void ResultsView::bindStore() {
  connect(&m_store, &AppStore::groupsChanged, this, &ResultsView::groupsChanged);
  connect(&m_store, &AppStore::sortChanged, this, &ResultsView::sortChanged);
  connect(&m_store, &AppStore::sourceKindChanged, this, [this] {
    if (m_grid->isSectioned()) {
      m_grid->scheduleScrollReset();
    }
  });
  connect(&m_store, &AppStore::focusedGroupIDChanged, this, [this] {
    if (const auto &id = m_store.focusedGroupID()) {
      m_grid->scrollToGroup(*id);
    }
  });
  connect(&m_store, &AppStore::isRegroupingChanged, this, &ResultsView::regroupingChanged);
  connect(&m_store, &AppStore::isSelectingChanged, this, &ResultsView::updateSelectionShortcuts);
  regroupingChanged();
  updateSelectionShortcuts();
}

int ResultsView::columnCount() const { return m_grid->columnCount(); }

// Groups a regroup or a running scan brings are often new to the grid, their photos not yet
// decoded, and a new sort moves every card: the grid changes beneath a still picture of what
// it showed, which dissolves into it once the new cards have their photos. New groups hold
// the summary bar too (see the constructor), so its counts change with the month headers,
// never before them.
void ResultsView::groupsChanged() {
  const std::vector<PhotoGroup> &groups = m_store.groups();
  if (LeavingPicture *cover = LeavingPicture::coverOf(this); cover && !m_placeUnderCover) {
    m_placeUnderCover = PlaceUnderCover{cover, m_grid->scrollPosition(), m_shownIDs};
    const auto gone = [this, cover] { coverGone(cover); };
    connect(cover, &LeavingPicture::gone, this, gone);
    connect(cover, &QObject::destroyed, this, gone);
  }
  m_shownIDs.clear();
  for (const PhotoGroup &group : groups) {
    m_shownIDs.push_back(group.id);
  }
  m_grid->reload();
  updateRail();
  if (groups.size() != m_groupCount) {
    m_groupCount = groups.size();
    m_grid->scheduleScrollReset();
    if (m_placeUnderCover) {
      m_placeUnderCover->toTop = true;
    }
  }
  keepPlaceUnderCover();
  if (LeavingPicture::covers(this)) {
    m_transition.finishNow();
  }
  m_transition.dissolveHeld(this, motion::fast());
}

// A new sort takes effect with the regroup it starts: until its groups come the grid stays
// as it was, never a frame of the old order in the new layout. The summary bar stays live:
// its picker shows the choice at once.
void ResultsView::sortChanged() {
  holdGrid(false);
  m_grid->reload();
  updateRail();
  m_grid->scheduleScrollReset();
}

// The grid dims for a regroup the user asked for (threshold, sort), not for the regroups
// of a running scan, whose content mostly stays.
void ResultsView::regroupingChanged() {
  const bool regrouping = m_store.isRegrouping();
  m_grid->setDimmed(regrouping && !m_store.phase().isScanning());
  if (!regrouping) {
    m_transition.dissolveHeld(this, motion::fast());
  }
}

// Under a still picture of the whole screen (a rescan that may end quickly) nobody sees the
// grid change: it takes its new state at once, settled when the picture leaves.
void ResultsView::holdGrid(bool withSummary) {
  if (LeavingPicture::covers(this)) {
    m_transition.finishNow();
    return;
  }
  if (!isVisible() || m_transition.state() == ScreenTransition::State::held) {
    return;
  }
  if (withSummary) {
    m_transition.hold(this, m_transition.pictureShown(this), ScreenTransition::Cover::inside);
  } else {
    m_transition.hold(m_grid, m_transition.pictureShown(m_grid));
  }
}

// A rescan that ends quickly empties the groups and brings them back beneath a still picture
// of the window's screens. The list then goes back to its top; were the grid already there,
// the picture of the place the user had scrolled to would dissolve into the top rows, two
// month headers and two sets of cards showing at once. Brought back as they were, the groups
// start where they stood, so the picture dissolves into the same picture, and the grid rises
// to its top once the picture has gone.
void ResultsView::keepPlaceUnderCover() {
  if (!m_placeUnderCover) {
    return;
  }
  PlaceUnderCover &place = *m_placeUnderCover;
  place.kept = place.toTop && place.scroll > 0 && m_shownIDs == place.ids;
  if (place.kept) {
    m_grid->keepPlace(place.scroll);
  }
}

void ResultsView::coverGone(const QObject *cover) {
  if (!m_placeUnderCover || m_placeUnderCover->cover != cover) {
    return;
  }
  if (m_placeUnderCover->kept) {
    m_grid->riseToTop();
  }
  m_placeUnderCover.reset();
}

// The rail exists only for several months in the date layout; its width fits the titles.
void ResultsView::updateRail() {
  const auto &sections = m_grid->sections();
  const bool shown = m_grid->isSectioned() && sections.size() > 1;
  if (shown) {
    QStringList ids;
    QStringList titles;
    for (const MonthSection &section : sections) {
      ids.append(section.id);
      titles.append(section.title);
    }
    m_rail->setFixedWidth(MonthIndexRail::railWidth(titles));
    m_rail->setSections(std::move(ids), std::move(titles));
    m_rail->setCurrentID(m_hud.currentMonthID());
  }
  m_rail->setVisible(shown);
}

void ResultsView::monthTracked(const QString &id, const QString &title, bool scrolled) {
  if (scrolled) {
    m_hud.noteScroll(id, title);
  } else {
    m_hud.noteMonth(id, title);
  }
  noteScrollActivity();
}

void ResultsView::noteScrollActivity() {
  m_store.noteScrollActivity();
  if (!m_railActive) {
    m_railActive = true;
    updateRailEmphasis();
  }
  m_railTimer.start();
}

void ResultsView::updateRailEmphasis() {
  const bool emphasized = m_railActive || m_railHovering;
  m_rail->setEmphasized(emphasized);
  m_railOpacity.animateTo(emphasized ? 1.0 : kRailIdleOpacity);
}

void ResultsView::jumpMonth(int step) {
  if (m_store.sort() != GroupSort::date) {
    return;
  }
  const auto &sections = m_grid->sections();
  if (sections.size() < 2) {
    return;
  }
  const QString currentID = m_hud.currentMonthID().value_or(sections.front().id);
  const std::size_t index = m_grid->sectionIndex(currentID).value_or(0);
  const auto last = static_cast<std::ptrdiff_t>(sections.size()) - 1;
  const auto target = static_cast<std::size_t>(
      std::clamp(static_cast<std::ptrdiff_t>(index) + step, std::ptrdiff_t{0}, last));
  m_store.setLastMonthJumpTarget(sections[target].id.toStdString());
  // Scrolling here, not on a change of the target, so a repeated target scrolls too.
  m_grid->scrollToSection(target);
}

bool ResultsView::isLoadingImages() const {
  const QRect view = m_grid->viewport()->rect();
  const std::vector<GroupCard *> cards = m_grid->cards().liveCards();
  return std::any_of(cards.begin(), cards.end(), [&view](const GroupCard *card) {
    return card->isVisible() && view.intersects(card->geometry()) && card->isLoadingImages();
  });
}

QList<QAction *> ResultsView::selectionShortcuts() const { return m_shortcuts; }

// The three hidden shortcuts exist only while selecting, for the whole window.
void ResultsView::updateSelectionShortcuts() {
  const bool selecting = m_store.isSelecting();
  if (selecting == !m_shortcuts.isEmpty()) {
    return;
  }
  if (!selecting) {
    qDeleteAll(m_shortcuts);
    m_shortcuts.clear();
    return;
  }
  const auto add = [this](const QKeySequence &keys, auto action) {
    m_shortcuts.append(addWindowShortcut(*this, keys, std::move(action)));
  };
  add(QKeySequence(Qt::CTRL | Qt::Key_A), [this] { m_store.selectAllGroups(); });
  add(QKeySequence(Qt::Key_Escape), [this] { m_store.exitSelectionMode(); });
  add(QKeySequence(Qt::Key_Backspace), [this] {
    if (m_store.canCleanupSelection()) {
      m_store.setIsBatchConfirmPresented(true);
    }
  });
}

void ResultsView::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.fillRect(m_hairline->geometry(), Theme::of(this).primaryAt(0.06));
}

// Tabbing into the grid shows where the keys now go. A focused card keeps them and comes
// into view if it is not (the list went back to its top since, or was scrolled away from
// it). With no card focused, or a focus naming no group, the first card wholly in view
// (else the first in view at all) takes the focus.
void ResultsView::focusCardInView() {
  const QRect view = m_grid->viewport()->rect();
  if (const std::optional<std::string> &focused = m_store.focusedGroupID();
      focused && m_store.group(*focused)) {
    const GroupCard *card = m_grid->cards().cardFor(*focused);
    if (card == nullptr || !card->isVisible() ||
        !view.contains(card->geometry().marginsRemoved(GroupCard::kOutset))) {
      m_grid->scrollToGroup(*focused);
    }
    return;
  }
  std::optional<std::tuple<bool, int, int>> bestKey;
  const GroupCard *best = nullptr;
  for (const GroupCard *card : m_grid->cards().liveCards()) {
    const QRect cell = card->geometry().marginsRemoved(GroupCard::kOutset);
    if (!card->isVisible() || !view.intersects(cell)) {
      continue;
    }
    const std::tuple<bool, int, int> key{!view.contains(cell), cell.y(), cell.x()};
    if (!bestKey || key < *bestKey) {
      bestKey = key;
      best = card;
    }
  }
  if (best != nullptr) {
    m_store.setFocusedGroupID(best->group().id);
  }
}

} // namespace lumora
