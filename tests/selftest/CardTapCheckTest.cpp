#include "app/selftest/CardTapCheck.h"
#include "app/shell/SelfTestSeam.h"
#include "app/store/AppStore.h"
#include "engine/diagnostics/Diagnostics.h"
#include "tests/selftest/support/FailureText.h"
#include "tests/selftest/support/SelfTestFixtures.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {

using namespace lumora;
using selftesttest::failureOf;

class CardTapCheckTest : public ::testing::Test {
protected:
  CardTapCheckTest() : store(selftesttest::readyStore(3)) {}
  ~CardTapCheckTest() override { UISelfTest::setEnabledForTesting(false); }

  std::unique_ptr<AppStore> store;
};

TEST_F(CardTapCheckTest, ARealCardRecordsThePressAndOpensTheDetail) {
  UISelfTest::setEnabledForTesting(true);
  const PhotoGroup group = store->groups().front();
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(failureOf([&] { cardtapcheck::verify(*store, group, false); }), QString());
  EXPECT_EQ(store->detailGroupID(), group.id);
  EXPECT_EQ(store->lastPressedGroupID(), std::nullopt);
  // The host is never shown, so it can never become active: no 4 s wait for it.
  EXPECT_LT(clock.elapsed(), 3000);
  EXPECT_FALSE(Diagnostics::exportText().contains(QStringLiteral("window not active")));
}

TEST_F(CardTapCheckTest, ACardThatRecordsNoPressFailsWithTheSuffixWhereAsked) {
  UISelfTest::setEnabledForTesting(false);
  const PhotoGroup group = store->groups().front();
  EXPECT_EQ(failureOf([&] { cardtapcheck::verify(*store, group, true); }),
            QStringLiteral("按下状态未记录（Reduce Motion）,lastPressedGroupID=nil")
                .replace(',', QStringLiteral("，")));
}

} // namespace
