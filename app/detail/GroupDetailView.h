#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QWidget>
#include <optional>
#include <string>
#include <vector>
// After the Qt headers: moc cannot read the standard <concepts> when it comes first.
#include "engine/model/PhotoGroup.h"

namespace lumora {

class AppStore;
class DetailActionBar;
class DetailGrid;
class DetailHeaderBar;
class DetailKeyView;
class DetailMissingView;
class HeroNamespace;

/// The screen of one group of similar photos: header, reason, grid of tiles, and the
/// clean-up bar; or, when the store no longer has the group, only the missing-group view.
/// It keeps the group's id only and reads `group(id)` again on every store change.
///
/// The keyboard goes through its `DetailKeyView` (arrows move the focus, Return opens the
/// preview, Space toggles the favourite, Backspace and Delete ask to delete, Escape leaves);
/// it gets the focus back when the preview closes and on a click in the screen, and Tab
/// moves from it to the window's other controls and back. A delete or clean-up is asked for in a
/// window-modal confirmation worded by the source; the clean-up removes exactly the photos
/// the confirmation counted. While this group is being cleaned, or a photo's own delete
/// runs, asking to delete that photo does nothing. GUI thread only.
class GroupDetailView : public QWidget {
  Q_OBJECT

public:
  GroupDetailView(AppStore &store, std::string groupID, HeroNamespace *hero,
                  QWidget *parent = nullptr);

  [[nodiscard]] const std::string &groupID() const { return m_groupID; }
  /// The column count as last measured; the Up and Down keys move by it.
  [[nodiscard]] int columnCount() const { return m_columnCount; }
  [[nodiscard]] DetailHeaderBar *headerBar() const { return m_header; }
  [[nodiscard]] DetailGrid *grid() const { return m_grid; }
  [[nodiscard]] DetailActionBar *actionBar() const { return m_actionBar; }
  [[nodiscard]] DetailMissingView *missingView() const { return m_missing; }
  [[nodiscard]] DetailKeyView *keyView() const { return m_keyView; }
  /// The open confirmation, if any.
  [[nodiscard]] QMessageBox *confirmation() const { return m_confirmation; }

  /// One key of the table by its code; false when it is not the detail's key.
  bool handleKey(int code);
  /// A tile's delete control and the Delete keys: the confirmation for this photo.
  void askToDelete(const PhotoItem &item);
  /// The clean-up button: the confirmation for all photos but the best.
  void askToCleanup();

protected:
  void resizeEvent(QResizeEvent *event) override;
  void showEvent(QShowEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;

private:
  void refresh();
  void refreshBars(const PhotoGroup &group);
  void refreshFocus();
  void setInitialFocus();
  void moveFocus(const PhotoGroup &group, std::int64_t step);
  [[nodiscard]] std::optional<PhotoItem> focusedPhoto(const PhotoGroup &group) const;
  void runCleanup(const std::vector<std::string> &shownMemberIDs);
  void cleanupEnded();
  void runDelete(const PhotoItem &item);
  void previewChanged();

  AppStore &m_store;
  std::string m_groupID;
  HeroNamespace *m_hero;
  QWidget *m_background;
  DetailKeyView *m_keyView;
  DetailHeaderBar *m_header;
  DetailGrid *m_grid;
  DetailActionBar *m_actionBar;
  DetailMissingView *m_missing;
  int m_columnCount = 3;
  std::optional<PhotoItem> m_pendingDelete;
  QPointer<QMessageBox> m_confirmation;
  bool m_awaitsCleanup = false;
  bool m_shown = false;
};

} // namespace lumora
