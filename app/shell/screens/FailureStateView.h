#pragma once

#include "app/shell/screens/StatusScreen.h"
#include "app/store/state/AppStoreTypes.h"

namespace lumora {

class AppStore;

/// The failed phase's screen: the failure's badge, its title and message exactly as the
/// store built them, and two or three ways out chosen by the failure's kind (a retry,
/// another folder, the library permission again, or the matching privacy settings, tried
/// through the store). A new failure, handed in or published by the store, updates the
/// screen in place. GUI thread.
class FailureStateView : public StatusScreen {
  Q_OBJECT

public:
  FailureStateView(AppStore &store, AppStoreTypes::Failure failure, QWidget *parent = nullptr);

  [[nodiscard]] const AppStoreTypes::Failure &failure() const { return m_failure; }
  void setFailure(AppStoreTypes::Failure failure);

protected:
  void refresh() override;

private:
  void rebuildButtons();

  AppStore &m_store;
  AppStoreTypes::Failure m_failure;
  bool m_buttonsBuilt = false;
};

} // namespace lumora
