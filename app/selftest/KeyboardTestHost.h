#pragma once

#include "app/shell/ScreenFactory.h"

#include <QWidget>

namespace lumora {

class AppStore;
class HeroNamespace;

/// The screen the keyboard check drives: the results grid, or the detail screen of the
/// store's detail group while the store has it; never both.
class KeyboardTestHost : public QWidget {
  Q_OBJECT

public:
  KeyboardTestHost(AppStore &store, const ScreenFactory &screens, QWidget *parent = nullptr);

protected:
  void resizeEvent(QResizeEvent *event) override;

private:
  void showScreen();

  AppStore &m_store;
  const ScreenFactory &m_screens;
  HeroNamespace *m_hero;
  QWidget *m_screen = nullptr;
  std::optional<std::string> m_shownDetail;
};

} // namespace lumora
