#include "app/selftest/KeyboardCheck.h"
#include "app/store/AppStoreStateAccess.h"
#include "tests/selftest/support/FailureText.h"
#include "tests/selftest/support/SelfTestFixtures.h"
#include "tests/store/support/FakeEngineClient.h"
#include "tests/store/support/StoreTestSupport.h"

#include <gtest/gtest.h>
#include <system_error>

namespace {

using namespace lumora;

TEST(KeyboardCheckTest, AFavouriteThatCannotBeSavedFailsTheSpaceCheck) {
  auto engine = std::make_shared<storetest::FakeEngineClient>();
  engine->failFavorites(EngineCallError::fromSystem(std::make_error_code(std::errc::io_error),
                                                    QStringLiteral("disk")));
  AppStore::Services services;
  services.engine = engine;
  AppStore store(std::move(services));
  AppStore::StateAccess state(store);
  std::vector<PhotoGroup> groups = storetest::groups(2);
  std::vector<PhotoItem> items;
  for (const PhotoGroup &group : groups) {
    items.insert(items.end(), group.items.begin(), group.items.end());
  }
  state.setItems(items);
  state.setGroups(groups);
  state.setPhase(AppStore::Phase::ready());
  const ScreenFactory screens = selftesttest::realScreens();
  EXPECT_EQ(selftesttest::failureOf([&] { KeyboardCheck(store, screens).verify(); }),
            QStringLiteral("Space 没有翻转焦点照片收藏（false）"));
}

} // namespace
