#include "engine/cluster/Clusterer.h"
#include "engine/cluster/FeatureDistance.h"
#include "tests/engine/cluster/ClusterPhotos.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <limits>
#include <numeric>
#include <random>

using namespace lumora;
using clustertest::photo;

namespace {

using Pair = std::pair<std::uint32_t, std::uint32_t>;

std::vector<Pair> positions(const std::vector<PairDistance> &pairs) {
  std::vector<Pair> out;
  for (const PairDistance &pair : pairs) {
    out.emplace_back(pair.i, pair.j);
  }
  return out;
}

std::vector<PhotoItem> photosAt(const std::vector<double> &dates) {
  std::vector<PhotoItem> items;
  for (double date : dates) {
    items.push_back(photo("p" + std::to_string(items.size()), date, {1, 0}));
  }
  return items;
}

std::vector<PairDistance> engineLimits(const std::vector<PhotoItem> &items) {
  return Clusterer::buildPairs(items, Clusterer::kMaxGap, Clusterer::kMaxNeighborsPerItem,
                               Clusterer::kMaxPairs);
}

float distanceBetween(std::vector<float> a, std::vector<float> b) {
  const std::vector<PairDistance> pairs =
      engineLimits({photo("a", 0, std::move(a)), photo("b", 1, std::move(b))});
  return pairs.size() == 1 ? pairs[0].d : -1.0f;
}

} // namespace

TEST(PairBuilding, emptyListAndSinglePhotoMakeNoPairs) {
  EXPECT_TRUE(engineLimits({}).empty());
  EXPECT_TRUE(engineLimits(photosAt({5})).empty());
}

TEST(PairBuilding, windowIncludesExactlyMaxGapButNotOneSecondMore) {
  EXPECT_EQ(positions(engineLimits(photosAt({1.7e9, 1.7e9 + 129600}))),
            (std::vector<Pair>{{0, 1}}));
  EXPECT_TRUE(engineLimits(photosAt({1.7e9, 1.7e9 + 129601})).empty());
  // Positions name the list; i is always the earlier photo.
  EXPECT_EQ(positions(engineLimits(photosAt({300, 100, 200}))),
            (std::vector<Pair>{{1, 2}, {1, 0}, {2, 0}}));
}

TEST(PairBuilding, equalDatesPairInListOrder) {
  EXPECT_EQ(positions(engineLimits(photosAt({7, 7, 7}))),
            (std::vector<Pair>{{0, 1}, {0, 2}, {1, 2}}));
}

TEST(PairBuilding, neighbourCapLeavesFurtherPhotosUnpaired) {
  const auto pairs = Clusterer::buildPairs(photosAt({0, 1, 2, 3, 4}), 100, 2, 100);
  EXPECT_EQ(positions(pairs),
            (std::vector<Pair>{{0, 1}, {0, 2}, {1, 2}, {1, 3}, {2, 3}, {2, 4}, {3, 4}}));
  EXPECT_TRUE(Clusterer::buildPairs(photosAt({0, 1}), 100, 0, 100).empty());
}

TEST(PairBuilding, pairLimitStopsAtOnceWithExactlyMaxPairs) {
  const auto items = photosAt({0, 1, 2, 3, 4});
  EXPECT_EQ(positions(Clusterer::buildPairs(items, 100, 10, 6)),
            (std::vector<Pair>{{0, 1}, {0, 2}, {0, 3}, {0, 4}, {1, 2}, {1, 3}}));
  EXPECT_EQ(Clusterer::buildPairs(items, 100, 10, 10).size(), 10u);
  EXPECT_TRUE(Clusterer::buildPairs(items, 100, 10, 0).empty());
}

TEST(PairBuilding, distanceIsEuclideanForUnitVectors) {
  EXPECT_FLOAT_EQ(distanceBetween({1, 0}, {0, 1}), std::sqrt(2.0f));
  EXPECT_FLOAT_EQ(distanceBetween({1, 0}, {-1, 0}), 2.0f);
  EXPECT_EQ(distanceBetween({1, 0}, {1, 0}), 0.0f);
  // A dot product rounded above 1 gives 0, not a square root of a negative number.
  EXPECT_EQ(distanceBetween({1.0000001f, 0}, {1.0000001f, 0}), 0.0f);
}

TEST(PairBuilding, unmeasurableVectorsAreTwoApartNeverZero) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(distanceBetween({}, {1, 0}), 2.0f);
  EXPECT_EQ(distanceBetween({1, 0}, {}), 2.0f);
  EXPECT_EQ(distanceBetween({}, {}), 2.0f);
  EXPECT_EQ(distanceBetween({1, 0}, {1, 0, 0}), 2.0f);
  EXPECT_EQ(distanceBetween({nan, 0}, {1, 0}), 2.0f);
  EXPECT_EQ(distanceBetween({inf, 0}, {1, 0}), 2.0f);
  EXPECT_EQ(distanceBetween({-inf, 0}, {1, 0}), 2.0f);
  EXPECT_EQ(distanceBetween({inf, 0}, {0, 1}), 2.0f); // inf × 0 is not a number
}

TEST(PairBuilding, photosWithoutFiniteDatePairWithNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(positions(engineLimits(photosAt({nan, 10, inf, 20, -inf, nan}))),
            (std::vector<Pair>{{1, 3}}));
  EXPECT_TRUE(Clusterer::buildPairs(photosAt({1, 2}), nan, 10, 10).empty());
}

namespace {

/// The pairs as one ordered pass measures them, in double precision.
std::vector<PairDistance> onePass(const std::vector<PhotoItem> &items, double maxGap,
                                  std::size_t maxNeighbours, std::size_t maxPairs) {
  std::vector<std::uint32_t> order(items.size());
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    return items[a].captureDate < items[b].captureDate;
  });
  std::vector<PairDistance> pairs;
  for (std::size_t a = 0; a < order.size(); ++a) {
    const PhotoItem &first = items[order[a]];
    for (std::size_t b = a + 1, made = 0; b < order.size() && made < maxNeighbours; ++b, ++made) {
      const PhotoItem &second = items[order[b]];
      if (second.captureDate.secondsSince1970 - first.captureDate.secondsSince1970 > maxGap) {
        break;
      }
      float d = 2.0f;
      if (!first.feature.empty() && first.feature.size() == second.feature.size()) {
        const double dot = std::inner_product(first.feature.begin(), first.feature.end(),
                                              second.feature.begin(), 0.0);
        d = std::isnan(dot) ? 2.0f : static_cast<float>(std::sqrt(std::max(0.0, 2 - 2 * dot)));
      }
      pairs.push_back({order[a], order[b], d});
      if (pairs.size() == maxPairs) {
        return pairs;
      }
    }
  }
  return pairs;
}

/// Bursts of similar unit vectors at whole seconds (so dates tie), with some photos lacking a
/// vector, some of another length and some holding a value that is not a number.
std::vector<PhotoItem> mixedLibrary(std::size_t count, std::size_t length, unsigned seed) {
  std::mt19937 rng(seed);
  std::normal_distribution<float> gauss;
  std::uniform_int_distribution<int> oddity(0, 39);
  std::vector<PhotoItem> items;
  std::vector<float> base(length);
  double date = 1000;
  for (std::size_t k = 0; k < count; ++k) {
    if (k % 6 == 0) {
      std::generate(base.begin(), base.end(), [&] { return gauss(rng); });
      date += std::floor(std::exponential_distribution<double>(0.05)(rng));
    }
    std::vector<float> v = base;
    for (float &x : v) {
      x += 0.2f * gauss(rng);
    }
    const float norm = std::sqrt(std::inner_product(v.begin(), v.end(), v.begin(), 0.0f));
    std::transform(v.begin(), v.end(), v.begin(), [&](float x) { return x / norm; });
    const int kind = oddity(rng);
    if (kind == 0) {
      v.clear();
    } else if (kind == 1) {
      v.pop_back();
    } else if (kind == 2) {
      v[3] = std::numeric_limits<float>::quiet_NaN();
    }
    // Shuffled list positions: capture order differs from list order.
    const auto at = items.begin() + static_cast<std::ptrdiff_t>(rng() % (items.size() + 1));
    items.insert(at, photo("p" + std::to_string(k), date + (k % 3 == 0 ? 0 : 1), v));
  }
  return items;
}

} // namespace

TEST(PairBuilding, anyThreadCountGivesTheOrderedPassResult) {
  const std::vector<PhotoItem> items = mixedLibrary(900, 37, 7);
  for (std::size_t maxPairs : {std::size_t{1'000'000}, std::size_t{9001}}) {
    const std::vector<PairDistance> expected = onePass(items, 120, 40, maxPairs);
    const std::vector<PairDistance> serial = Clusterer::buildPairs(items, 120, 40, maxPairs, 1);
    ASSERT_EQ(positions(serial), positions(expected));
    ASSERT_GT(serial.size(), 8000u); // enough work for several chunks
    for (std::size_t k = 0; k < serial.size(); ++k) {
      // Compared as squares: near 0 the square root magnifies the summation-order difference.
      ASSERT_NEAR(serial[k].d * serial[k].d, expected[k].d * expected[k].d, 1e-5) << k;
    }
    for (unsigned threads : {2u, 3u, 8u, 0u}) {
      EXPECT_EQ(Clusterer::buildPairs(items, 120, 40, maxPairs, threads), serial) << threads;
    }
  }
}

TEST(PairBuilding, blockedDotProductEqualsSingleOneBitForBit) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<float> uniform(-1, 1);
  for (std::size_t length = 0; length <= 41; ++length) {
    std::vector<float> rows(4 * length);
    std::vector<float> column(length);
    std::generate(rows.begin(), rows.end(), [&] { return uniform(rng); });
    std::generate(column.begin(), column.end(), [&] { return uniform(rng); });
    float products[4];
    featuredistance::dotFour(rows.data(), column.data(), length, products);
    for (std::size_t r = 0; r < 4; ++r) {
      const float single = featuredistance::dot(rows.data() + r * length, column.data(), length);
      EXPECT_EQ(std::bit_cast<std::uint32_t>(products[r]), std::bit_cast<std::uint32_t>(single));
    }
  }
}
