#pragma once

#include "app/detail/GroupDetailView.h"
#include "app/results/ResultsView.h"
#include "app/shell/ScreenFactory.h"
#include "app/store/AppStore.h"
#include "app/store/AppStoreStateAccess.h"
#include "tests/store/support/FakeEngineClient.h"
#include "tests/store/support/StoreTestSupport.h"

#include <memory>

namespace selftesttest {

/// A store over the hand-driven engine, done scanning, holding `count` groups.
inline std::unique_ptr<lumora::AppStore> readyStore(int count) {
  lumora::AppStore::Services services;
  services.engine = std::make_shared<storetest::FakeEngineClient>();
  auto store = std::make_unique<lumora::AppStore>(std::move(services));
  lumora::AppStore::StateAccess state(*store);
  state.setGroups(storetest::groups(count));
  state.setPhase(lumora::AppStore::Phase::ready());
  return store;
}

/// The application's results grid and detail screen.
inline lumora::ScreenFactory realScreens() {
  lumora::ScreenFactory screens;
  screens.resultsView = [](lumora::AppStore &store, lumora::HeroNamespace *hero,
                           QWidget *parent) -> QWidget * {
    return new lumora::ResultsView(store, hero, parent);
  };
  screens.groupDetail = [](lumora::AppStore &store, const std::string &id,
                           lumora::HeroNamespace *hero, QWidget *parent) -> QWidget * {
    return new lumora::GroupDetailView(store, id, hero, parent);
  };
  return screens;
}

} // namespace selftesttest
