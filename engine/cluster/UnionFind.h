#pragma once

#include <cstdint>
#include <numeric>
#include <vector>

namespace lumora {

/// Disjoint sets over the positions 0…n−1 with path halving. The root of a union is always the
/// root of the first position, so the partition's roots depend only on the order of unions.
class UnionFind {
public:
  explicit UnionFind(std::size_t count) : m_parent(count) {
    std::iota(m_parent.begin(), m_parent.end(), std::uint32_t{0});
  }

  [[nodiscard]] std::size_t size() const { return m_parent.size(); }

  [[nodiscard]] std::uint32_t find(std::uint32_t x) {
    while (m_parent[x] != x) {
      m_parent[x] = m_parent[m_parent[x]];
      x = m_parent[x];
    }
    return x;
  }

  /// Hangs the root of `j` below the root of `i`.
  void unite(std::uint32_t i, std::uint32_t j) {
    const std::uint32_t ri = find(i);
    const std::uint32_t rj = find(j);
    if (ri != rj) {
      m_parent[rj] = ri;
    }
  }

private:
  std::vector<std::uint32_t> m_parent;
};

} // namespace lumora
