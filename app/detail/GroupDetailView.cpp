// The detail's structure: its parts, and how they follow the store.
#include "app/detail/GroupDetailView.h"

#include "app/detail/DetailActionBar.h"
#include "app/detail/DetailFocus.h"
#include "app/detail/DetailGrid.h"
#include "app/detail/DetailHeaderBar.h"
#include "app/detail/DetailKeyView.h"
#include "app/detail/DetailMissingView.h"
#include "app/detail/DetailTexts.h"
#include "app/shell/components/WindowBackground.h"
#include "app/store/AppStore.h"
#include "app/store/texts/Texts.h"

#include <QShowEvent>
#include <QVBoxLayout>

namespace lumora {

GroupDetailView::GroupDetailView(AppStore &store, std::string groupID, HeroNamespace *hero,
                                 QWidget *parent)
    : QWidget(parent), m_store(store), m_groupID(std::move(groupID)), m_hero(hero),
      m_background(new WindowBackground(this)), m_keyView(new DetailKeyView(this)),
      m_header(new DetailHeaderBar(this)), m_grid(new DetailGrid(store, hero, this)),
      m_actionBar(new DetailActionBar(this)), m_missing(new DetailMissingView(this)) {
  setObjectName(QStringLiteral("groupDetail"));
  auto *stack = new QVBoxLayout(this);
  stack->setContentsMargins(0, 0, 0, 0);
  stack->setSpacing(0);
  stack->addWidget(m_header);
  stack->addWidget(m_grid, 1);
  stack->addWidget(m_actionBar);
  stack->addWidget(m_missing, 1);
  // The detail's keys act alike with any modifiers held.
  m_keyView->setKeyHandler(
      [this](const platform::keycodes::KeyCode &key) { return handleKey(key.code); });
  const auto leave = [this] { m_store.setDetailGroupID(std::nullopt); };
  connect(m_header, &DetailHeaderBar::backClicked, this, leave);
  connect(m_missing, &DetailMissingView::backClicked, this, leave);
  connect(m_actionBar, &DetailActionBar::cleanupClicked, this, &GroupDetailView::askToCleanup);
  connect(m_grid, &DetailGrid::deleteRequested, this, &GroupDetailView::askToDelete);
  for (const auto signal : {&AppStore::groupsChanged, &AppStore::itemsChanged,
                            &AppStore::sourceKindChanged, &AppStore::cleaningGroupIDChanged}) {
    connect(&m_store, signal, this, &GroupDetailView::refresh);
  }
  connect(&m_store, &AppStore::cleaningGroupIDChanged, this, &GroupDetailView::cleanupEnded);
  connect(&m_store, &AppStore::focusedPhotoIDChanged, this, &GroupDetailView::refreshFocus);
  connect(&m_store, &AppStore::previewContextChanged, this, &GroupDetailView::previewChanged);
  refresh();
}

// Everything from the store's current group; only the missing-group view without one.
void GroupDetailView::refresh() {
  const std::optional<PhotoGroup> group = m_store.group(m_groupID);
  m_header->setVisible(group.has_value());
  m_grid->setVisible(group.has_value());
  m_actionBar->setVisible(group.has_value());
  m_missing->setVisible(!group.has_value());
  if (!group) {
    return;
  }
  refreshBars(*group);
  m_grid->setGroup(*group, detailfocus::columnCount(width()));
  m_grid->setFocusedID(m_store.focusedPhotoID(), false);
}

void GroupDetailView::refreshBars(const PhotoGroup &group) {
  const AppStore::SourceKind source = m_store.sourceKind();
  m_header->setTexts(texts::similarPhotoCountText(group.count()),
                     detailtexts::headerSubtitle(group), detailtexts::deletionHint(source));
  m_actionBar->setTexts(detailtexts::actionTitle(group, source),
                        detailtexts::actionSubtitle(group, source));
  const std::int64_t victims = detailtexts::victimCount(group);
  // Any clean-up in flight, of this group or another, disables the button.
  const std::optional<std::string> &cleaning = m_store.cleaningGroupID();
  m_actionBar->setCleanup(texts::cleanupMoreText(victims),
                          detailtexts::cleanupAccessibilityHint(source),
                          group.count() - 1 >= 1 && !cleaning, cleaning == m_groupID);
}

// A focus change after the screen appeared scrolls the focused tile into view.
void GroupDetailView::refreshFocus() { m_grid->setFocusedID(m_store.focusedPhotoID(), m_shown); }

void GroupDetailView::setInitialFocus() {
  if (m_store.focusedPhotoID()) {
    return;
  }
  if (const std::optional<PhotoGroup> group = m_store.group(m_groupID)) {
    m_store.setFocusedPhotoID(group->bestID);
  }
}

void GroupDetailView::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  m_background->setGeometry(rect());
  m_background->lower();
  m_keyView->setGeometry(rect());
  m_keyView->stackUnder(m_header);
  const int columns = detailfocus::columnCount(width());
  m_columnCount = columns;
  if (columns != m_grid->columns()) {
    if (const std::optional<PhotoGroup> group = m_store.group(m_groupID)) {
      m_grid->setGroup(*group, columns);
    }
  }
}

void GroupDetailView::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  if (event->spontaneous() || m_shown) {
    return;
  }
  m_columnCount = detailfocus::columnCount(width());
  setInitialFocus();
  refreshFocus();
  m_shown = true;
}

// A click in the screen that no control took (the grid's background, the bars) hands the
// keys back to the screen, as a click in the results grid does there.
void GroupDetailView::mousePressEvent(QMouseEvent *event) {
  QWidget::mousePressEvent(event);
  m_keyView->setFocus(Qt::MouseFocusReason);
}

} // namespace lumora
