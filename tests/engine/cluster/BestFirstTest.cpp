#include "engine/cluster/Clusterer.h"
#include "tests/engine/cluster/ClusterPhotos.h"

#include <gtest/gtest.h>

#include <limits>

using namespace lumora;
using clustertest::photo;
using Positions = std::vector<std::size_t>;

namespace {

PhotoItem rated(float score, float sharpness, std::int64_t fileSize = 1000) {
  return photo("x", 0, {}, score, sharpness, fileSize);
}

Positions bestFirst(const std::vector<PhotoItem> &items) {
  Positions all(items.size());
  for (std::size_t k = 0; k < all.size(); ++k) {
    all[k] = k;
  }
  return Clusterer::pickBestFirst(items, all);
}

} // namespace

TEST(PickBestFirst, fewerThanTwoPositionsComeBackUnchanged) {
  const std::vector<PhotoItem> items{rated(0, 1), rated(1, 1)};
  EXPECT_EQ(Clusterer::pickBestFirst(items, {}), Positions{});
  EXPECT_EQ(Clusterer::pickBestFirst(items, {0}), Positions{0});
  EXPECT_EQ(Clusterer::pickBestFirst(items, {0, 1}), (Positions{1, 0}));
}

TEST(PickBestFirst, clearlySharperPhotoWithinHalfAPointWins) {
  EXPECT_EQ(bestFirst({rated(0.50f, 100), rated(0.45f, 120)}), (Positions{1, 0}));
  // 14 % sharper is not enough; exactly 15 % neither.
  EXPECT_EQ(bestFirst({rated(0.50f, 100), rated(0.45f, 114)}), (Positions{0, 1}));
  EXPECT_EQ(bestFirst({rated(0.50f, 100), rated(0.45f, 115)}), (Positions{0, 1}));
  // More than half a displayed point behind: the score wins.
  EXPECT_EQ(bestFirst({rated(0.50f, 100), rated(0.30f, 500)}), (Positions{0, 1}));
  // A best photo at sharpness 1.0 or below has nothing to compare against.
  EXPECT_EQ(bestFirst({rated(0.50f, 1.0f), rated(0.45f, 900)}), (Positions{0, 1}));
  EXPECT_EQ(bestFirst({rated(0.50f, 0), rated(0.45f, 900)}), (Positions{0, 1}));
}

TEST(PickBestFirst, restFollowsCombinedRanksThenLargerFile) {
  // Score places: a0 b1 c2 d3 e4 f5; sharpness places: f0 a1 e2 b3 d4 c5 (m = 6).
  // Combined keys 3·score place + 2·sharpness place: a 2, b 9, c 16, d 17, e 16, f 15.
  // c and e tie exactly (0.6·0.6 + 0.4·0 against 0.6·0.2 + 0.4·0.6 in floating point);
  // the larger file goes first.
  const std::vector<PhotoItem> items{rated(0.9f, 500, 10), rated(0.8f, 300, 10),
                                     rated(0.7f, 100, 10), rated(0.6f, 200, 10),
                                     rated(0.5f, 400, 20), rated(0.4f, 600, 10)};
  EXPECT_EQ(bestFirst(items), (Positions{0, 1, 5, 4, 2, 3}));
}

TEST(PickBestFirst, equalValuesRankInTheOrderGiven) {
  // Equal scores and sharpness take their places in the order of the positions given, so the
  // combined ranks differ and file sizes do not matter.
  std::vector<PhotoItem> same{rated(0.2f, 50), rated(0.2f, 50), rated(0.2f, 50), rated(0.2f, 50)};
  same[0].fileSize = 5000;
  EXPECT_EQ(Clusterer::pickBestFirst(same, {3, 1, 2, 0}), (Positions{3, 1, 2, 0}));
}

TEST(PickBestFirst, valuesThatAreNotNumbersRankLast) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<PhotoItem> items{rated(nan, nan), rated(0.1f, 10), rated(nan, 20),
                                     rated(0.3f, nan)};
  EXPECT_EQ(bestFirst(items), (Positions{3, 1, 2, 0}));
}
