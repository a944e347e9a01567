#pragma once

#include <QObject>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace lumora {

struct PhotoGroup;
struct PhotoItem;

/// Which groups of the results grid are selected and which one has the keyboard focus: the
/// multi-select mode, the selected ids and the shift-click anchor, the focused group and the
/// focused photo of the detail, the batch confirmation and the running batch clean-up.
///
/// Holds ids only; every operation that needs the groups takes them, in display order, from
/// its caller (the store), so the same ids can outlive a regroup. Each setter does nothing
/// when the value is unchanged and emits its change signal after the new value is stored, so
/// a listener always sees the fields set before it and not those set after. Lives on the GUI
/// thread.
class GroupSelection : public QObject {
  Q_OBJECT

public:
  using Groups = std::vector<PhotoGroup>;
  using IdSet = std::unordered_set<std::string>;

  explicit GroupSelection(QObject *parent = nullptr) : QObject(parent) {}

  [[nodiscard]] bool isSelecting() const { return m_isSelecting; }
  void setIsSelecting(bool selecting);
  [[nodiscard]] const IdSet &selectedGroupIDs() const { return m_selectedGroupIDs; }
  void setSelectedGroupIDs(IdSet ids);
  /// The fixed end of a shift-click range; not published, so it has no signal.
  [[nodiscard]] const std::optional<std::string> &anchorID() const { return m_anchorID; }
  void setAnchorID(std::optional<std::string> id) { m_anchorID = std::move(id); }
  [[nodiscard]] const std::optional<std::string> &focusedGroupID() const {
    return m_focusedGroupID;
  }
  void setFocusedGroupID(std::optional<std::string> id);
  [[nodiscard]] const std::optional<std::string> &focusedPhotoID() const {
    return m_focusedPhotoID;
  }
  void setFocusedPhotoID(std::optional<std::string> id);
  [[nodiscard]] bool isBatchConfirmPresented() const { return m_isBatchConfirmPresented; }
  void setIsBatchConfirmPresented(bool presented);
  /// A batch clean-up of the selection runs.
  [[nodiscard]] bool isCleaning() const { return m_isCleaning; }
  void setIsCleaning(bool cleaning);

  // Multi-select.
  /// Starts the mode with an empty selection, unless it runs or there are no groups. The
  /// anchor stays: it may serve the first shift-click of this round.
  void enter(const Groups &groups);
  /// Ends the mode, empties the selection and forgets the anchor; nothing when not selecting.
  void exit();
  /// Selects or deselects one group and makes it the anchor; only while selecting.
  void toggle(const std::string &groupID);
  /// A click while selecting: with shift and an anchor that is still shown, adds the range
  /// from the anchor to the clicked group (both ends included, the anchor stays); else toggles.
  void tapped(const Groups &groups, const std::string &groupID, bool shift);
  /// Selects every group; the last one becomes the anchor. Only while selecting.
  void selectAll(const Groups &groups);
  /// After a regroup: deselects the groups that are gone (none is added) and ends the mode
  /// when no group is left. The anchor is left as it was.
  void retainShown(const Groups &groups);
  /// When the focused group is in `before` but not in `after`, the group that now stands in
  /// its place (the last one when it was at the end); none when the focus stays as it is.
  [[nodiscard]] std::optional<std::string> focusReplacing(const Groups &before,
                                                          const Groups &after) const;

  // Keyboard focus.
  /// Focuses the first (last) group, or none when there are no groups.
  void focusFirst(const Groups &groups);
  void focusLast(const Groups &groups);
  /// Moves by whole rows (negative: back), clamped to the first and last group. Without
  /// groups nothing changes.
  void focusPage(const Groups &groups, int columns, int rows);
  /// Arrow-key movement; a target outside the groups changes nothing (no wrap, no clamp).
  void focusStep(const Groups &groups, int rowDelta, int columnDelta, int columns);

  // Derived from the groups, in their order.
  [[nodiscard]] Groups selectedGroups(const Groups &groups) const;
  /// The photos a batch clean-up removes: all but the best of each selected group.
  [[nodiscard]] std::int64_t selectedVictimCount(const Groups &groups) const;
  /// Saturates instead of overflowing, and never goes below zero.
  [[nodiscard]] std::int64_t selectedReclaimableBytes(const Groups &groups) const;
  /// Every photo but the best of each selected group, in group order, each once.
  [[nodiscard]] std::vector<PhotoItem> selectedVictims(const Groups &groups) const;
  [[nodiscard]] std::vector<std::string> selectedVictimIDs(const Groups &groups) const;
  /// Selecting, no batch running, no single-group clean-up running (`groupCleanupRunning`)
  /// and at least one photo to remove.
  [[nodiscard]] bool canCleanup(const Groups &groups, bool groupCleanupRunning) const;

signals:
  void isSelectingChanged();
  void selectedGroupIDsChanged();
  void focusedGroupIDChanged();
  void focusedPhotoIDChanged();
  void isBatchConfirmPresentedChanged();
  void isCleaningChanged();

private:
  template <typename T> void assign(T &field, T value, void (GroupSelection::*changed)());
  /// The position of the focused group; 0 without a focus or when no group has its id.
  [[nodiscard]] std::int64_t focusedIndex(const Groups &groups) const;

  bool m_isSelecting = false;
  IdSet m_selectedGroupIDs;
  std::optional<std::string> m_anchorID;
  std::optional<std::string> m_focusedGroupID;
  std::optional<std::string> m_focusedPhotoID;
  bool m_isBatchConfirmPresented = false;
  bool m_isCleaning = false;
};

} // namespace lumora
