#pragma once

#include "engine/cluster/PairDistance.h"
#include "engine/model/PhotoItem.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumora {

/// Measures the candidate pairs of one photo list (see Clusterer::buildPairs) on several
/// threads with a result identical to a single pass in capture order.
///
/// The work is planned before any distance is measured: every photo's number of pairs follows
/// from the capture dates alone, so each pair's slot in the result is known in advance. The
/// photos are cut into chunks of roughly equal pair counts; threads take chunks from a shared
/// counter and write into their own slots, so neither the thread count nor the scheduling can
/// change the result. Within a chunk the feature vectors are copied into one contiguous block
/// so that the inner loop streams through memory that stays in cache.
class PairBuilder {
public:
  PairBuilder(const std::vector<PhotoItem> &items, double maxGap, std::int64_t maxNeighborsPerItem,
              std::int64_t maxPairs);

  /// Measures all pairs with up to `threads` threads (0: one per core).
  [[nodiscard]] std::vector<PairDistance> run(unsigned threads);

private:
  /// A run of consecutive places whose pairs fill consecutive result slots.
  struct Chunk {
    std::size_t begin = 0;
    std::size_t end = 0;
    /// One past the last place any pair of the chunk reaches.
    std::size_t reach = 0;
    std::size_t firstSlot = 0;
  };

  /// Up to four consecutive places whose pairs are measured together.
  struct Tile {
    std::size_t first = 0;
    std::size_t size = 0;
    /// The contiguous vectors of the chunk (null: read in place) and the place of its row 0.
    const float *rows = nullptr;
    std::size_t rowBegin = 0;
    /// Per place: the result slot of its first pair and its last partner's place.
    std::size_t firstSlot[4] = {};
    std::size_t last[4] = {};
  };

  void orderByCapture();
  void countPairs(double maxGap, std::int64_t maxNeighborsPerItem, std::int64_t maxPairs);
  void planChunks(unsigned threads);
  void measureChunk(const Chunk &chunk, std::vector<float> &rows, PairDistance *out) const;
  void measureTile(const Tile &tile, PairDistance *out) const;
  [[nodiscard]] float distance(std::size_t a, std::size_t b, std::size_t rowBegin,
                               const float *rows) const;

  const std::vector<PhotoItem> &m_items;
  /// Positions in capture order: m_order[place] is a position in m_items.
  std::vector<std::uint32_t> m_order;
  /// Capture dates by place; dates that are not finite are sorted last as +infinity.
  std::vector<double> m_dates;
  /// Feature vector lengths by place.
  std::vector<std::uint32_t> m_lengths;
  /// Pairs each place makes, already cut where the pair limit is reached.
  std::vector<std::uint32_t> m_counts;
  std::size_t m_total = 0;
  /// The vector length most photos share; only vectors of this length are copied into the
  /// contiguous rows, the others are read in place.
  std::size_t m_rowLength = 0;
  std::vector<Chunk> m_chunks;
  std::size_t m_maxChunkRows = 0;
};

} // namespace lumora
