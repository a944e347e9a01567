#pragma once

#include <algorithm>
#include <cstddef>
#include <type_traits>
#include <utility>
#include <vector>

namespace lumora::ordering {

/// Sorts `items` by `keyOf(item)`, smallest first (keys compared with <), keeping the order of
/// items with equal keys. The keys are sorted with the positions beside them and every item
/// is then moved once, which is much cheaper than sorting large items in place; a list that is
/// already in order is left untouched.
template <typename T, typename KeyOf> void stableSortByKey(std::vector<T> &items, KeyOf keyOf) {
  using Key = std::decay_t<decltype(keyOf(std::declval<const T &>()))>;
  std::vector<std::pair<Key, std::size_t>> keys;
  keys.reserve(items.size());
  for (std::size_t k = 0; k < items.size(); ++k) {
    keys.emplace_back(keyOf(items[k]), k);
  }
  const auto before = [](const auto &a, const auto &b) { return a.first < b.first; };
  if (std::is_sorted(keys.begin(), keys.end(), before)) {
    return;
  }
  std::stable_sort(keys.begin(), keys.end(), before);
  std::vector<T> sorted;
  sorted.reserve(items.size());
  for (const auto &key : keys) {
    sorted.push_back(std::move(items[key.second]));
  }
  items = std::move(sorted);
}

} // namespace lumora::ordering
