#include "engine/cluster/Clusterer.h"
#include "engine/model/SimilarityScale.h"
#include "tests/engine/cluster/ClusterPhotos.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>

using namespace lumora;
using clustertest::ids;
using clustertest::photo;
using Ids = std::vector<std::vector<std::string>>;

namespace {

std::vector<PhotoItem> photosNamed(const std::string &names) {
  std::vector<PhotoItem> items;
  for (char name : names) {
    items.push_back(photo(std::string(1, name), 100));
  }
  return items;
}

/// Groups by both variants and checks they agree before returning the result.
std::vector<PhotoGroup> bothVariants(const std::vector<PhotoItem> &items,
                                     const std::vector<PairDistance> &pairs, float threshold,
                                     GroupSort sort = GroupSort::date) {
  const std::vector<PhotoGroup> flat = Clusterer::groups(items, pairs, threshold, sort);
  EXPECT_EQ(Clusterer::groups(items, Clusterer::PairIndex(pairs), threshold, sort), flat);
  return flat;
}

} // namespace

TEST(PairIndex, filesPairsByTruncatedDistanceInListOrder) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<PairDistance> pairs{{0, 1, 0.3f},  {2, 3, 2.0f}, {4, 5, 0.296875f},
                                        {6, 7, 0.31f}, {8, 9, nan},  {1, 2, 5.0f},
                                        {3, 4, -0.1f}, {5, 6, 0.0f}};
  const Clusterer::PairIndex index(pairs);
  ASSERT_EQ(index.buckets.size(), 129u);
  EXPECT_EQ(index.total, 8);
  EXPECT_EQ(index.width, 0.015625f);
  // 0.296875 × 64 = 19 exactly; 0.3 and 0.31 truncate to 19 as well.
  EXPECT_EQ(index.buckets[19], (std::vector<PairDistance>{pairs[0], pairs[2], pairs[3]}));
  EXPECT_EQ(index.buckets[0], (std::vector<PairDistance>{pairs[6], pairs[7]}));
  EXPECT_EQ(index.buckets[128].size(), 3u); // 2.0, not a number, and above 2
  EXPECT_TRUE(Clusterer::PairIndex().buckets[128].empty());
}

TEST(PairIndex, aListLongEnoughToBeSplitAcrossThreadsFilesLikeOnePass) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<float> distance(-0.1f, 2.2f);
  std::vector<PairDistance> pairs(1'500'003);
  for (std::size_t k = 0; k < pairs.size(); ++k) {
    pairs[k] = {static_cast<std::uint32_t>(k), static_cast<std::uint32_t>(k + 1), distance(rng)};
  }
  pairs[7].d = std::numeric_limits<float>::quiet_NaN();
  std::vector<std::vector<PairDistance>> expected(Clusterer::PairIndex::kBucketCount);
  for (const PairDistance &pair : pairs) {
    expected[static_cast<std::size_t>(Clusterer::PairIndex::bucketFor(pair.d))].push_back(pair);
  }
  const Clusterer::PairIndex index(pairs);
  EXPECT_EQ(index.total, static_cast<std::int64_t>(pairs.size()));
  ASSERT_EQ(index.buckets.size(), expected.size());
  for (std::size_t b = 0; b < expected.size(); ++b) {
    // Compared as bytes: the pair that is not a number never equals itself.
    ASSERT_EQ(index.buckets[b].size(), expected[b].size()) << b;
    EXPECT_EQ(std::memcmp(index.buckets[b].data(), expected[b].data(),
                          expected[b].size() * sizeof(PairDistance)),
              0)
        << b;
  }
}

TEST(Grouping, emptyAndSinglePhotoListsHaveNoGroups) {
  EXPECT_TRUE(bothVariants({}, {}, 0.3f).empty());
  EXPECT_TRUE(bothVariants(photosNamed("a"), {}, 0.3f).empty());
  EXPECT_TRUE(bothVariants(photosNamed("ab"), {{0, 1, 0.31f}}, 0.3f).empty());
}

TEST(Grouping, distanceEqualToThresholdJoins) {
  const float t = 0.3f;
  EXPECT_EQ(ids(bothVariants(photosNamed("ab"), {{0, 1, t}}, t)), (Ids{{"a", "b"}}));
  EXPECT_TRUE(bothVariants(photosNamed("ab"), {{0, 1, std::nextafter(t, 1.0f)}}, t).empty());
}

TEST(Grouping, groupsAreConnectedComponents) {
  // A–C are far apart, but A–B and B–C are close: one group of three.
  const std::vector<PairDistance> pairs{{0, 1, 0.2f}, {1, 2, 0.25f}, {0, 2, 1.2f}};
  EXPECT_EQ(ids(bothVariants(photosNamed("abcd"), pairs, 0.3f)), (Ids{{"a", "b", "c"}}));
  EXPECT_EQ(ids(bothVariants(photosNamed("abcd"), pairs, 0.22f)), (Ids{{"a", "b"}}));
}

TEST(Grouping, unmeasurablePairsNeverJoinAndStrayPositionsAreIgnored) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<PairDistance> pairs{{0, 1, nan}, {1, 2, 2.0f}, {2, 7, 0.0f}, {9, 0, 0.0f}};
  EXPECT_TRUE(bothVariants(photosNamed("abc"), pairs, SimilarityScale::maxThreshold).empty());
  // A distance that is not a number counts as 2.0 even at a threshold that large.
  EXPECT_EQ(ids(bothVariants(photosNamed("abc"), pairs, 2.0f)), (Ids{{"a", "b", "c"}}));
}

TEST(Grouping, onePairListServesEveryThreshold) {
  const std::vector<PhotoItem> items = photosNamed("abcde");
  const std::vector<PairDistance> pairs{{0, 1, 0.1f}, {1, 2, 0.29f}, {3, 4, 0.5f}, {2, 3, 0.6f}};
  const Clusterer::PairIndex index(pairs);
  const auto at = [&](float t) { return ids(Clusterer::groups(items, index, t, GroupSort::date)); };
  EXPECT_EQ(at(0.18f), (Ids{{"a", "b"}}));
  EXPECT_EQ(at(0.30f), (Ids{{"a", "b", "c"}}));
  EXPECT_EQ(at(0.55f), (Ids{{"a", "b", "c"}, {"d", "e"}}));
  EXPECT_EQ(at(0.18f), (Ids{{"a", "b"}}));
  EXPECT_EQ(at(0.60f), (Ids{{"a", "b", "c", "d", "e"}}));
}

TEST(Grouping, dateOrderPutsNewestBestPhotoFirstAndKeepsTies) {
  // Groups {a,b} best at 300, {c,d} best at 500, {e,f} best at 300 (tie with the first).
  std::vector<PhotoItem> items{photo("a", 300), photo("b", 100), photo("c", 500),
                               photo("d", 100), photo("e", 300), photo("f", 100)};
  const std::vector<PairDistance> pairs{{0, 1, 0.1f}, {2, 3, 0.1f}, {4, 5, 0.1f}};
  EXPECT_EQ(ids(bothVariants(items, pairs, 0.3f)), (Ids{{"c", "d"}, {"a", "b"}, {"e", "f"}}));
}

TEST(Grouping, memberCountOrderPutsLargerGroupsFirstThenNewest) {
  // Three photos taken long ago, five in the middle, two pairs newer still.
  std::vector<PhotoItem> items;
  std::vector<PairDistance> pairs;
  const auto addGroup = [&](const std::string &name, int size, double date) {
    for (int k = 0; k < size; ++k) {
      if (k > 0) {
        const auto last = static_cast<std::uint32_t>(items.size());
        pairs.push_back({last - 1, last, 0.1f});
      }
      items.push_back(photo(name + std::to_string(k), date, {}, -0.01f * static_cast<float>(k)));
    }
  };
  addGroup("old", 3, 100);
  addGroup("mid", 5, 200);
  addGroup("new", 2, 900);
  addGroup("newer", 2, 950);
  const auto order = [&](GroupSort sort) {
    std::vector<std::string> bests;
    for (const PhotoGroup &group : bothVariants(items, pairs, 0.3f, sort)) {
      bests.push_back(group.bestID);
    }
    return bests;
  };
  EXPECT_EQ(order(GroupSort::memberCount),
            (std::vector<std::string>{"mid0", "old0", "newer0", "new0"}));
  EXPECT_EQ(order(GroupSort::date), (std::vector<std::string>{"newer0", "new0", "mid0", "old0"}));
}

TEST(Grouping, indexAndFlatListAgreeOnRandomPairs) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<float> distance(0.0f, 0.8f);
  std::vector<PhotoItem> items;
  for (int k = 0; k < 300; ++k) {
    items.push_back(photo("p" + std::to_string(k), 1000.0 * k, {},
                          static_cast<float>(rng() % 7) * 0.1f, static_cast<float>(rng() % 5)));
  }
  std::vector<PairDistance> pairs;
  for (int k = 0; k < 400; ++k) {
    pairs.push_back({static_cast<std::uint32_t>(rng() % 300),
                     static_cast<std::uint32_t>(rng() % 300), distance(rng)});
  }
  const Clusterer::PairIndex index(pairs);
  for (float t = SimilarityScale::minThreshold; t <= SimilarityScale::maxThreshold; t += 0.01f) {
    for (GroupSort sort : groupsort::kAll) {
      // Distinct best dates: no ties in either order, so the lists must match exactly.
      ASSERT_EQ(Clusterer::groups(items, index, t, sort), Clusterer::groups(items, pairs, t, sort))
          << t;
    }
  }
}

TEST(Grouping, groupsOrderMembersBestFirstAndExplainTheChoice) {
  // a has the higher score, b is 20 % sharper within half a displayed point.
  const std::vector<PhotoItem> items{photo("a", 10, {}, 0.50f, 100),
                                     photo("b", 11, {}, 0.45f, 120)};
  const std::vector<PhotoGroup> groups = bothVariants(items, {{0, 1, 0.05f}}, 0.3f);
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(groups[0].id, "b");
  EXPECT_EQ(groups[0].bestID, "b");
  const SelectionReason reason = groups[0].bestReason();
  EXPECT_EQ(reason.kind, SelectionReason::Kind::sharperButClose);
  EXPECT_EQ(reason.percent, 20);
  EXPECT_NEAR(reason.gain, -0.25, 1e-6);
}
