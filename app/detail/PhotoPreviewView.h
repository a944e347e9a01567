#pragma once

#include "app/store/images/Thumbnail.h"

#include <QMessageBox>
#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>
// After the Qt headers: moc cannot read the standard <concepts> when it comes first.
#include "engine/model/PhotoGroup.h"

namespace lumora {

class AppStore;
class PreviewBottomBar;
class RoundSymbolButton;
class PreviewStage;
class PreviewTopBar;

/// The full-window preview of one photo of a group, over the main screens while the
/// store's `previewContext` is set. It keeps no photo of its own: the store's
/// `previewItem()` says which photo shows, and the view follows the store's signals.
///
/// Each photo is loaded at 2048 px through the store's preview cache; every answer carries
/// the photo's id and the load's generation, and one for a photo no longer shown is
/// dropped. Once the image is there, the neighbours (+1, then −1, wrapping) are
/// prefetched. While it shows, Left and Right step, Escape closes and Ctrl+F toggles the
/// favourite, as window shortcuts that work whatever holds the focus. The view takes the
/// focus, keeps Tab inside and swallows every other key, so that nothing behind it acts on
/// a photo or a control the user does not see. GUI thread only.
class PhotoPreviewView : public QWidget {
  Q_OBJECT

public:
  static constexpr int kMaxPixel = 2048;

  explicit PhotoPreviewView(AppStore &store, QWidget *parent = nullptr);
  ~PhotoPreviewView() override;

  [[nodiscard]] PreviewStage *stage() const { return m_stage; }
  [[nodiscard]] PreviewTopBar *topBar() const { return m_topBar; }
  [[nodiscard]] PreviewBottomBar *bottomBar() const { return m_bottomBar; }
  [[nodiscard]] RoundSymbolButton *previousButton() const { return m_previous; }
  [[nodiscard]] RoundSymbolButton *nextButton() const { return m_next; }
  /// The name shown for the photo: the engine's answer, or the provisional name before it.
  [[nodiscard]] QString shownName() const;
  [[nodiscard]] bool hasAppeared() const { return m_appeared; }
  /// How far the appear has come: 0 at the first frame, 1 once the stage is at full size.
  [[nodiscard]] qreal appearProgress() const { return m_appearProgress; }
  /// The open delete confirmation, if any.
  [[nodiscard]] QMessageBox *deleteConfirmation() const { return m_confirmation; }

  /// The delete button: asks for confirmation, worded by the source.
  void askToDelete();

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void showEvent(QShowEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void keyReleaseEvent(QKeyEvent *event) override;
  bool focusNextPrevChild(bool next) override;

private:
  [[nodiscard]] std::optional<PhotoGroup> group() const;
  void refresh();
  void layoutChildren();
  void updateBars(const PhotoItem &item);
  void updateButtons();
  void addShortcuts();
  void toggleFavorite(const PhotoItem &item);
  void confirmDelete();

  // Loading (PhotoPreviewViewLoad.cpp).
  void load();
  void imageArrived(std::uint64_t generation, const std::string &itemID, const ThumbnailPtr &image);
  void prefetchNeighbours();
  void beginAppear();
  void setAppearProgress(qreal progress);

  AppStore &m_store;
  PreviewStage *m_stage;
  PreviewTopBar *m_topBar;
  PreviewBottomBar *m_bottomBar;
  RoundSymbolButton *m_previous;
  RoundSymbolButton *m_next;
  QWidget *m_emptySpinner = nullptr;
  QPointer<QMessageBox> m_confirmation;

  // The load of the shown photo.
  std::optional<std::string> m_shownID;
  std::uint64_t m_generation = 0;
  QString m_displayName;

  // The appear: the stage's scale 0.98 → 1 (the root view fades the whole screen in).
  bool m_appeared = false;
  qreal m_appearProgress = 0;
  QVariantAnimation m_appear;
};

} // namespace lumora
