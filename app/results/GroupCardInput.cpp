// The group card's pointer, tooltip and menu handling, and its clean-up confirmation.
#include "app/results/GroupCard.h"

#include "app/results/CleanupButton.h"
#include "app/results/CleanupConfirmation.h"
#include "app/results/GroupCardFace.h"
#include "app/results/GroupCardHero.h"
#include "app/results/GroupCardTexts.h"
#include "app/store/AppStore.h"
#include "platform/gui/DesktopOpener.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QToolTip>

namespace lumora {
namespace {

constexpr int kTapSlop = 6;

} // namespace

void GroupCard::updatePointer(const QPoint &position) {
  if (!m_bound || !cardRect().contains(position)) {
    resetPointer();
    return;
  }
  // The hand shows over the card even while scrolling; only the highlight waits.
  setCursor(Qt::PointingHandCursor);
  setHovering(!m_store.isScrolling());
}

void GroupCard::resetPointer() {
  unsetCursor();
  setHovering(false);
}

void GroupCard::enterEvent(QEnterEvent *event) {
  QWidget::enterEvent(event);
  updatePointer(event->position().toPoint());
}

void GroupCard::leaveEvent(QEvent *event) {
  QWidget::leaveEvent(event);
  resetPointer();
}

void GroupCard::mouseMoveEvent(QMouseEvent *event) {
  updatePointer(event->position().toPoint());
  QWidget::mouseMoveEvent(event);
}

void GroupCard::mousePressEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton || !cardRect().contains(event->position().toPoint())) {
    event->ignore();
    return;
  }
  m_pressAt = event->position().toPoint();
  setPressed(true);
}

void GroupCard::mouseReleaseEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton || !m_pressAt) {
    event->ignore();
    return;
  }
  const QPoint from = *m_pressAt;
  const QPoint to = event->position().toPoint();
  m_pressAt.reset();
  setPressed(false);
  if (tapAreaContains(from) && tapAreaContains(to) && (to - from).manhattanLength() <= kTapSlop) {
    // Shift comes from this click itself, not from whatever the keyboard holds later.
    tapped(event->modifiers());
  }
}

// The hero and the title row answer a click; the strip and the button area do not.
bool GroupCard::tapAreaContains(const QPoint &position) const {
  const QPoint inCard = position - cardRect().topLeft();
  const GroupCardLayout &layout = m_face->layout();
  return layout.hero.contains(inCard) || layout.titleRow.contains(inCard);
}

void GroupCard::tapped(Qt::KeyboardModifiers modifiers) {
  if (!m_bound) {
    return;
  }
  if (m_store.isSelecting()) {
    m_store.groupTapped(m_group, modifiers.testFlag(Qt::ShiftModifier));
  } else {
    m_store.openDetail(m_group);
  }
}

// The press follows the button too, as it does over the rest of the card.
bool GroupCard::eventFilter(QObject *watched, QEvent *event) {
  if (watched == m_button) {
    const auto *mouse = dynamic_cast<QMouseEvent *>(event);
    if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
      setPressed(true);
    } else if (event->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
      setPressed(false);
    }
  }
  return QWidget::eventFilter(watched, event);
}

QString GroupCard::toolTipAt(const QPoint &position) const {
  if (!m_bound || !cardRect().contains(position)) {
    return {};
  }
  const QPoint inCard = position - cardRect().topLeft();
  if (m_face->layout().hero.contains(inCard)) {
    return groupcardtexts::heroHelp(m_group, m_store.isSelecting());
  }
  return m_face->toolTipAt(inCard);
}

bool GroupCard::event(QEvent *event) {
  if (event->type() == QEvent::ToolTip) {
    auto *help = static_cast<QHelpEvent *>(event);
    const QString text = toolTipAt(help->pos());
    if (text.isEmpty()) {
      QToolTip::hideText();
      event->ignore();
    } else {
      QToolTip::showText(help->globalPos(), text, this);
    }
    return true;
  }
  if (event->type() == QEvent::PaletteChange) {
    m_face->invalidate();
  }
  return QWidget::event(event);
}

void GroupCard::contextMenuEvent(QContextMenuEvent *event) {
  if (!m_bound || !cardRect().contains(event->pos())) {
    event->ignore();
    return;
  }
  QMenu *menu = makeContextMenu().release();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

std::unique_ptr<QMenu> GroupCard::makeContextMenu() {
  auto menu = std::make_unique<QMenu>(this);
  const PhotoGroup group = m_group;
  const AppStoreTypes::SourceKind source = m_store.sourceKind();
  AppStore *store = &m_store;
  menu->addAction(groupcardtexts::menuDetail(), this, [store, group] { store->openDetail(group); });
  menu->addSeparator();
  const std::optional<PhotoItem> best = group.best();
  if (source != AppStoreTypes::SourceKind::library && best) {
    // A folder photo's id is its path, byte for byte; a library photo has no file to show.
    const std::optional<std::string> path =
        best->localIdentifier ? std::nullopt : std::optional(best->id);
    menu->addAction(groupcardtexts::menuReveal(), this, [path] {
      if (path)
        platform::opener().revealFile(*path);
    });
    menu->addAction(groupcardtexts::menuOpenBest(), this, [path] {
      if (path)
        platform::opener().openFile(*path);
    });
    menu->addSeparator();
  }
  if (source == AppStoreTypes::SourceKind::library) {
    menu->addAction(groupcardtexts::menuOpenLibrary(), this,
                    [] { platform::opener().openLibraryFolder(); });
    menu->addSeparator();
  }
  const std::int64_t candidates = groupcardtexts::candidateCount(group);
  if (candidates >= 1) {
    QAction *cleanup = menu->addAction(groupcardtexts::menuCleanup(source, candidates), this,
                                       &GroupCard::confirmCleanup);
    cleanup->setEnabled(!m_store.cleaningGroupID() && !m_store.isSelecting());
  }
  return menu;
}

// The group as the confirmation shows it is what a confirmed clean-up removes: the store
// refuses if its photos changed meanwhile.
void GroupCard::confirmCleanup() {
  if (!m_bound || m_confirmation || groupcardtexts::candidateCount(m_group) < 1) {
    return;
  }
  const AppStoreTypes::SourceKind source = m_store.sourceKind();
  const PhotoGroup shown = m_group;
  m_confirmation = cleanupconfirmation::make(
      this, groupcardtexts::confirmTitle(source, groupcardtexts::candidateCount(shown)),
      groupcardtexts::confirmMessage(source, shown),
      groupcardtexts::confirmButton(source, std::max<std::int64_t>(shown.reclaimableBytes(), 0)));
  std::vector<std::string> ids;
  for (const PhotoItem &item : shown.items) {
    ids.push_back(item.id);
  }
  AppStore *store = &m_store;
  connect(cleanupconfirmation::confirmButton(*m_confirmation), &QAbstractButton::clicked, this,
          [store, id = shown.id, ids] { store->cleanup(id, ids); });
  connect(m_confirmation, &QDialog::finished, this, [this] { m_confirmation = nullptr; });
  m_confirmation->open();
}

} // namespace lumora
