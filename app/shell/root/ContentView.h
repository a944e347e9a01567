#pragma once

#include "app/shell/ScreenFactory.h"
#include "app/shell/root/ControlsBar.h"
#include "app/shell/root/PhaseScreenHost.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <optional>
#include <string>

namespace lumora {

class AlertPresenter;
class AppStore;
class ScreenTransition;
class HeaderBar;
class HeroNamespace;
class InfoCenterSheet;
class ToastSlot;
class UndoToastView;
class WindowBackground;

/// The main window's content, chosen from the store's state alone: the header bar, then
/// either the group detail or the controls bar above the phase screen; the photo preview
/// over everything but the undo toast, holding the keyboard focus away from the controls it
/// covers; the info center sheet and the one alert through
/// which the store reports errors. It asks the store to bootstrap (reopen the last folder)
/// when first shown, and writes the store only where the user answers its sheet or alert.
///
/// Later screens (results, detail, preview, info center) come through `factory`; entries
/// left empty show named placeholders. At least 900 × 600 px. GUI thread only.
class ContentView : public QWidget {
  Q_OBJECT

public:
  static constexpr QSize kMinimumSize{900, 600};

  ContentView(AppStore &store, ScreenFactory factory, QWidget *parent = nullptr);
  ~ContentView() override;

  [[nodiscard]] HeaderBar *headerBar() const { return m_header; }
  /// The controls bar and the phase screens; null while the detail shows.
  [[nodiscard]] ControlsBar *controlsBar() const { return m_controls; }
  [[nodiscard]] PhaseScreenHost *phaseScreens() const { return m_phase; }
  /// The detail slot; null while no group's detail shows.
  [[nodiscard]] QWidget *detailView() const { return m_detail; }
  [[nodiscard]] QWidget *previewView() const { return m_preview; }
  [[nodiscard]] UndoToastView *toastView() const;
  [[nodiscard]] AlertPresenter *alerts() const { return m_alerts; }
  [[nodiscard]] InfoCenterSheet *infoSheet() const { return m_sheet; }
  [[nodiscard]] HeroNamespace *heroNamespace() const { return m_hero; }
  [[nodiscard]] const ScreenTransition &detailTransition() const { return *m_transition; }

protected:
  void showEvent(QShowEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

private:
  void buildMainBranch();
  void syncDetail();
  void showDetail(const std::string &groupID, bool animated);
  void leaveDetail();
  /// `leaving` (deleted) gives way to `entering`: a dissolve with the hero zoom, or a slide.
  void cross(QWidget *leaving, QWidget *entering, bool slides);
  void syncPreview();
  /// Photographs the preview before it follows a change of the store's current action.
  void keepPreviewAsShown();
  /// Lets the kept picture go on a later turn, once the photo shown is no longer being removed.
  void releasePreviewShown(int afterMs);
  [[nodiscard]] bool previewPhotoIsBeingRemoved() const;
  /// Sends the focus back to the preview when something beneath it has taken it.
  void keepFocusUncovered(QWidget *now);
  void layoutLayers();

  AppStore &m_store;
  ScreenFactory m_factory;
  WindowBackground *m_background = nullptr;
  HeroNamespace *m_hero = nullptr;
  /// The change between the results and a group's detail.
  ScreenTransition *m_transition = nullptr;
  HeaderBar *m_header = nullptr;
  /// Below the header: the main branch or the detail, one at a time.
  QWidget *m_body = nullptr;
  QPointer<QWidget> m_main;
  QPointer<ControlsBar> m_controls;
  QPointer<PhaseScreenHost> m_phase;
  QPointer<QWidget> m_detail;
  std::optional<std::string> m_detailID;
  QPointer<QWidget> m_preview;
  /// The preview as shown before the current action changed it; null otherwise.
  QPixmap m_previewShown;
  ToastSlot *m_toast = nullptr;
  InfoCenterSheet *m_sheet = nullptr;
  AlertPresenter *m_alerts = nullptr;
  bool m_bootstrapped = false;
};

} // namespace lumora
