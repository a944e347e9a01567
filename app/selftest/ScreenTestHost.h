#pragma once

#include "app/shell/ScreenFactory.h"

#include <QWidget>
#include <optional>
#include <string>

namespace lumora {

class AppStore;
class HeroNamespace;
class ToastSlot;

/// The screen the keyboard and motion self-tests drive, standing in for the main screen
/// without header and controls: the results grid, or the detail screen of the store's
/// detail group while the store has it; never both. A change of screen cross-fades under
/// the calm spring: the old screen's picture fades out over the new one, which fades in.
///
/// The motion host (`Kind::motion`) adds what the motion test measures: under reduced
/// motion, or while the store is selecting, the detail screen moves in from (and out to) the
/// trailing edge as it fades, under the fast ease-out when motion is reduced; and the
/// store's undo toast shows along the bottom edge, above the screen.
class ScreenTestHost : public QWidget {
  Q_OBJECT

public:
  enum class Kind { keyboard, motion };

  ScreenTestHost(AppStore &store, const ScreenFactory &screens, Kind kind = Kind::keyboard,
                 QWidget *parent = nullptr);

  /// Whether the detail screen moves in from the trailing edge now.
  [[nodiscard]] bool detailSlides() const;

protected:
  void resizeEvent(QResizeEvent *event) override;

private:
  void showScreen();

  AppStore &m_store;
  const ScreenFactory &m_screens;
  Kind m_kind;
  HeroNamespace *m_hero;
  ToastSlot *m_toast = nullptr;
  QWidget *m_screen = nullptr;
  std::optional<std::string> m_shownDetail;
};

} // namespace lumora
