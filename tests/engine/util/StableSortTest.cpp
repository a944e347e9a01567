#include "engine/util/StableSort.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

using lumora::ordering::stableSortByKey;

namespace {

struct Item {
  int key = 0;
  std::string tag;
  bool operator==(const Item &) const = default;
};

} // namespace

TEST(StableSortByKey, matchesStableSortWithManyEqualKeys) {
  std::mt19937 rng(7);
  for (const std::size_t n : {0, 1, 2, 17, 1000}) {
    std::vector<Item> items;
    for (std::size_t k = 0; k < n; ++k) {
      items.push_back({static_cast<int>(rng() % 10), std::to_string(k)});
    }
    std::vector<Item> expected = items;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const Item &a, const Item &b) { return a.key < b.key; });
    stableSortByKey(items, [](const Item &item) { return item.key; });
    EXPECT_EQ(items, expected) << n;
  }
}

TEST(StableSortByKey, sortsItemsThatCanOnlyBeMoved) {
  std::vector<std::unique_ptr<int>> items;
  for (const int value : {3, 1, 2}) {
    items.push_back(std::make_unique<int>(value));
  }
  stableSortByKey(items, [](const std::unique_ptr<int> &item) { return *item; });
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(*items[0], 1);
  EXPECT_EQ(*items[1], 2);
  EXPECT_EQ(*items[2], 3);
}
