#include "app/shell/root/RootScreen.h"
#include "app/shell/root/SimilaritySlider.h"

#include <gtest/gtest.h>

using lumora::AppStoreTypes;
using lumora::rootscreen::ScreenKind;
using lumora::rootscreen::screenKind;
namespace slider = lumora::similarityslider;

TEST(RootScreen, readyPhaseTestsPausedBeforeEmptyBeforeGroups) {
  const auto failed = AppStoreTypes::Phase::failed({});
  const auto idle = AppStoreTypes::Phase::idle();
  const auto scanning = AppStoreTypes::Phase::scanning();
  const auto ready = AppStoreTypes::Phase::ready();
  EXPECT_EQ(screenKind(idle, true, true, true), ScreenKind::idle);
  EXPECT_EQ(screenKind(scanning, false, false, false), ScreenKind::scanning);
  EXPECT_EQ(screenKind(scanning, false, true, false), ScreenKind::liveResults);
  EXPECT_EQ(screenKind(failed, true, true, true), ScreenKind::failure);
  // Paused wins over empty: the live screen shows even without photos or groups.
  EXPECT_EQ(screenKind(ready, true, false, false), ScreenKind::liveResults);
  EXPECT_EQ(screenKind(ready, false, false, true), ScreenKind::emptyResults);
  EXPECT_EQ(screenKind(ready, false, true, false), ScreenKind::noSimilarGroups);
  EXPECT_EQ(screenKind(ready, false, true, true), ScreenKind::results);
}

TEST(RootScreen, onlyTheGridsEnterWithoutTheGentleAppear) {
  EXPECT_FALSE(lumora::rootscreen::appearsGently(ScreenKind::liveResults));
  EXPECT_FALSE(lumora::rootscreen::appearsGently(ScreenKind::results));
  for (ScreenKind kind : {ScreenKind::idle, ScreenKind::scanning, ScreenKind::failure,
                          ScreenKind::emptyResults, ScreenKind::noSimilarGroups}) {
    EXPECT_TRUE(lumora::rootscreen::appearsGently(kind));
  }
}

TEST(SimilaritySlider, positionsAreTheHundredthsOfTheRange) {
  EXPECT_EQ(slider::thresholdAt(0), 0.18f);
  EXPECT_EQ(slider::thresholdAt(12), 0.30f); // bit for bit what the reset link compares
  EXPECT_EQ(slider::thresholdAt(37), 0.55f);
  EXPECT_EQ(slider::thresholdAt(99), 0.55f);
  for (int k = 0; k < slider::kPositionCount; ++k) {
    EXPECT_EQ(slider::positionOf(slider::thresholdAt(k)), k) << k;
  }
  EXPECT_EQ(slider::positionOf(0.42000002f), 24);
  EXPECT_EQ(slider::positionOf(0.01f), 0);
  EXPECT_EQ(slider::positionOf(0.9f), 37);
  EXPECT_TRUE(slider::isRecommended(slider::thresholdAt(12)));
  EXPECT_FALSE(slider::isRecommended(0.29f));
}
