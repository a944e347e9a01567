#pragma once

#include "app/shell/ScreenFactory.h"

#include <QPixmap>
#include <QWidget>
#include <optional>
#include <string>

namespace lumora {

class AppStore;
class HeroNamespace;
class MotionAnimation;

/// The screen the keyboard and motion self-tests drive, standing in for the main screen
/// without header and controls: the results grid, or the detail screen of the store's
/// detail group while the store has it; never both. A change of screen cross-fades under
/// the calm spring (the fast ease-out under reduced motion): the old screen's picture, a
/// child drawn over the new screen, fades out while the new screen is already in place.
class ScreenTestHost : public QWidget {
  Q_OBJECT

public:
  ScreenTestHost(AppStore &store, const ScreenFactory &screens, QWidget *parent = nullptr);

protected:
  void resizeEvent(QResizeEvent *event) override;

private:
  void showScreen();

  AppStore &m_store;
  const ScreenFactory &m_screens;
  HeroNamespace *m_hero;
  QWidget *m_screen = nullptr;
  QWidget *m_fadeOut;
  MotionAnimation *m_fade;
  std::optional<std::string> m_shownDetail;
};

} // namespace lumora
