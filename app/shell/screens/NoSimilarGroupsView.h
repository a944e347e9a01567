#pragma once

#include "app/shell/screens/StatusScreen.h"

namespace lumora {

class AppStore;
class ThemedButton;

/// The ready screen when photos were analysed but none formed a group: how many photos at
/// which similarity, a looser and a stricter threshold in steps of 0.06 (always on the
/// slider's grid), and a rescan. GUI thread.
class NoSimilarGroupsView : public StatusScreen {
  Q_OBJECT

public:
  explicit NoSimilarGroupsView(AppStore &store, QWidget *parent = nullptr);

  [[nodiscard]] ThemedButton *looserButton() const { return m_looser; }
  [[nodiscard]] ThemedButton *stricterButton() const { return m_stricter; }

protected:
  void refresh() override;

private:
  AppStore &m_store;
  ThemedButton *m_looser = nullptr;
  ThemedButton *m_stricter = nullptr;
};

} // namespace lumora
