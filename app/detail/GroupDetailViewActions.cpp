// The detail's keys, confirmations, clean-up and delete.
#include "app/detail/ConfirmDialog.h"
#include "app/detail/DetailFocus.h"
#include "app/detail/DetailKeyView.h"
#include "app/detail/DetailTexts.h"
#include "app/detail/GroupDetailView.h"
#include "app/store/AppStore.h"
#include "app/store/texts/Localized.h"
#include "platform/gui/KeyCodes.h"

namespace lumora {

namespace keys = platform::keycodes;

bool GroupDetailView::handleKey(int code) {
  const std::optional<PhotoGroup> group = m_store.group(m_groupID);
  if (!group) {
    return false;
  }
  const std::int64_t columns = std::max(m_columnCount, 1);
  switch (code) {
  case keys::kLeft: moveFocus(*group, -1); return true;
  case keys::kRight: moveFocus(*group, 1); return true;
  case keys::kDown: moveFocus(*group, columns); return true;
  case keys::kUp: moveFocus(*group, -columns); return true;
  case keys::kReturn:
    if (const std::optional<std::string> &focus = m_store.focusedPhotoID()) {
      m_store.openPreview(*group, *focus);
    }
    return true;
  case keys::kSpace:
    if (const std::optional<PhotoItem> photo = focusedPhoto(*group)) {
      m_store.toggleFavorite(*photo);
    }
    return true;
  case keys::kDelete:
  case keys::kForwardDelete:
    if (const std::optional<PhotoItem> photo = focusedPhoto(*group)) {
      askToDelete(*photo);
    }
    return true;
  case keys::kEscape: m_store.setDetailGroupID(std::nullopt); return true;
  default: return false;
  }
}

void GroupDetailView::moveFocus(const PhotoGroup &group, std::int64_t step) {
  if (const std::optional<std::string> target =
          detailfocus::steppedID(group, m_store.focusedPhotoID(), step)) {
    m_store.setFocusedPhotoID(*target);
  }
}

std::optional<PhotoItem> GroupDetailView::focusedPhoto(const PhotoGroup &group) const {
  const std::optional<std::int64_t> index =
      detailfocus::focusedIndex(group, m_store.focusedPhotoID());
  return index ? std::optional(group.items[static_cast<std::size_t>(*index)]) : std::nullopt;
}

// A photo already on its way out (its own delete, or this group's clean-up) is not asked
// about again: the second move would fail and report an error beside the first's success.
void GroupDetailView::askToDelete(const PhotoItem &item) {
  if (m_confirmation || m_store.cleaningGroupID() == m_groupID || m_store.isRemoving(item.id)) {
    return;
  }
  m_pendingDelete = item;
  m_confirmation = confirmdialog::open(this, localized::string("删除这张照片？"),
                                       detailtexts::deleteMessage(item, m_store.sourceKind()),
                                       localized::string("删除"), [this] {
                                         if (m_pendingDelete) {
                                           runDelete(*m_pendingDelete);
                                         }
                                       });
}

void GroupDetailView::runDelete(const PhotoItem &item) {
  if (m_store.cleaningGroupID() == m_groupID || m_store.isRemoving(item.id)) {
    return;
  }
  m_store.deleteItem(item);
}

// The confirmation counts the photos as the group holds them now; exactly those go, or
// none when the group changed before the user confirmed.
void GroupDetailView::askToCleanup() {
  const std::optional<PhotoGroup> group = m_store.group(m_groupID);
  if (!group || group->count() - 1 < 1 || m_store.cleaningGroupID() || m_confirmation) {
    return;
  }
  std::vector<std::string> shownMemberIDs;
  for (const PhotoItem &item : group->items) {
    shownMemberIDs.push_back(item.id);
  }
  const AppStore::SourceKind source = m_store.sourceKind();
  const std::int64_t victims = detailtexts::victimCount(*group);
  m_confirmation = confirmdialog::open(this, detailtexts::cleanupTitle(victims, source),
                                       detailtexts::cleanupMessage(*group, source),
                                       detailtexts::cleanupConfirmButton(source),
                                       [this, shownMemberIDs] { runCleanup(shownMemberIDs); });
}

void GroupDetailView::runCleanup(const std::vector<std::string> &shownMemberIDs) {
  if (!m_store.group(m_groupID)) {
    return;
  }
  m_store.cleanup(m_groupID, shownMemberIDs);
  m_awaitsCleanup = m_store.cleaningGroupID() == m_groupID;
}

// When this group's clean-up is over and the group is gone, the detail closes, but only
// while it still shows this group: another group's detail opened meanwhile stays.
void GroupDetailView::cleanupEnded() {
  if (!m_awaitsCleanup || m_store.cleaningGroupID() == m_groupID) {
    return;
  }
  m_awaitsCleanup = false;
  if (!m_store.group(m_groupID) && m_store.detailGroupID() == m_groupID) {
    m_store.setDetailGroupID(std::nullopt);
  }
}

// The preview held the keyboard; the grid's keys come back when it closes. In a window
// that is not active the key view becomes the focus it gets back on activation, instead of
// whichever control the focus passed to when the preview went.
void GroupDetailView::previewChanged() {
  if (!m_store.previewContext() && isVisible()) {
    m_keyView->setFocus(Qt::OtherFocusReason);
  }
}

} // namespace lumora
