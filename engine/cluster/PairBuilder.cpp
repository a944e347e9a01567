#include "engine/cluster/PairBuilder.h"

#include "engine/cluster/FeatureDistance.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <map>
#include <system_error>
#include <thread>
#include <utility>

namespace lumora {

using namespace featuredistance;

namespace {

/// Chunks are at least this many pairs, so that taking a chunk costs little against its work.
constexpr std::size_t kMinChunkPairs = 4096;
/// About this many chunks per thread even out photos with few and with many neighbours.
constexpr std::size_t kChunksPerThread = 8;
/// Caps the places of one chunk, and so the rows it copies.
constexpr std::size_t kMaxChunkPlaces = 4096;
/// A chunk whose pairs reach further than this many rows reads the vectors in place instead of
/// copying them (only with neighbour limits far above the engine's).
constexpr std::size_t kMaxCopiedRows = 16384;

/// The vector length most photos share (the shorter one on a tie); 0 when all are empty.
std::size_t commonLength(const std::vector<std::uint32_t> &lengths) {
  std::map<std::uint32_t, std::size_t> frequency;
  for (std::uint32_t length : lengths) {
    if (length > 0) {
      ++frequency[length];
    }
  }
  std::size_t best = 0;
  std::size_t bestCount = 0;
  for (const auto &[length, count] : frequency) {
    if (count > bestCount) {
      best = length;
      bestCount = count;
    }
  }
  return best;
}

} // namespace

PairBuilder::PairBuilder(const std::vector<PhotoItem> &items, double maxGap,
                         std::int64_t maxNeighborsPerItem, std::int64_t maxPairs)
    : m_items(items) {
  orderByCapture();
  countPairs(maxGap, maxNeighborsPerItem, maxPairs);
  m_rowLength = commonLength(m_lengths);
}

void PairBuilder::orderByCapture() {
  const std::size_t n = m_items.size();
  // Sorting (date, position) pairs is a stable sort by date that keeps the keys next to each
  // other in memory. A date that is not a number would break the ordering, so every date that
  // is not finite sorts last as +infinity.
  std::vector<std::pair<double, std::uint32_t>> keyed(n);
  for (std::size_t p = 0; p < n; ++p) {
    const double date = m_items[p].captureDate.secondsSince1970;
    keyed[p] = {std::isfinite(date) ? date : std::numeric_limits<double>::infinity(),
                static_cast<std::uint32_t>(p)};
  }
  std::sort(keyed.begin(), keyed.end());
  m_order.resize(n);
  m_dates.resize(n);
  m_lengths.resize(n);
  for (std::size_t a = 0; a < n; ++a) {
    m_dates[a] = keyed[a].first;
    m_order[a] = keyed[a].second;
    m_lengths[a] = static_cast<std::uint32_t>(m_items[keyed[a].second].feature.size());
  }
}

void PairBuilder::countPairs(double maxGap, std::int64_t maxNeighborsPerItem,
                             std::int64_t maxPairs) {
  const std::size_t n = m_dates.size();
  const std::size_t neighbourCap =
      static_cast<std::size_t>(std::max<std::int64_t>(maxNeighborsPerItem, 0));
  std::size_t remaining = static_cast<std::size_t>(std::max<std::int64_t>(maxPairs, 0));
  m_counts.assign(n, 0);
  // The window of a place ends at the first later place more than maxGap after it. Dates grow
  // with the place, so that end never moves backwards and one sweep finds every window.
  // Photos without a finite date (all at the end) pair with nothing.
  std::size_t end = 0;
  for (std::size_t a = 0; a < n && remaining > 0; ++a) {
    if (!std::isfinite(m_dates[a])) {
      break;
    }
    end = std::max(end, a + 1);
    while (end < n && std::isfinite(m_dates[end]) && m_dates[end] - m_dates[a] <= maxGap) {
      ++end;
    }
    const std::size_t count = std::min({end - a - 1, neighbourCap, remaining});
    m_counts[a] = static_cast<std::uint32_t>(count);
    remaining -= count;
    m_total += count;
  }
}

void PairBuilder::planChunks(unsigned threads) {
  const std::size_t target = std::max(kMinChunkPairs, m_total / (threads * kChunksPerThread));
  Chunk chunk;
  std::size_t pairs = 0;
  for (std::size_t a = 0; a < m_counts.size() && chunk.firstSlot + pairs < m_total; ++a) {
    pairs += m_counts[a];
    chunk.reach = std::max(chunk.reach, a + 1 + m_counts[a]);
    if (pairs >= target || a + 1 - chunk.begin >= kMaxChunkPlaces ||
        chunk.firstSlot + pairs == m_total) {
      chunk.end = a + 1;
      if (pairs > 0) {
        m_chunks.push_back(chunk);
        if (chunk.reach - chunk.begin <= kMaxCopiedRows) {
          m_maxChunkRows = std::max(m_maxChunkRows, chunk.reach - chunk.begin);
        }
      }
      chunk = Chunk{a + 1, a + 1, a + 1, chunk.firstSlot + pairs};
      pairs = 0;
    }
  }
}

std::vector<PairDistance> PairBuilder::run(unsigned threads) {
  if (threads == 0) {
    threads = std::max(1u, std::thread::hardware_concurrency());
  }
  planChunks(threads);
  std::vector<PairDistance> pairs(m_total);
  const std::size_t workers = std::min<std::size_t>(threads, m_chunks.size());
  // Every buffer is allocated here, so the workers themselves cannot fail.
  std::vector<std::vector<float>> rows(workers);
  for (std::vector<float> &buffer : rows) {
    buffer.resize(m_maxChunkRows * m_rowLength);
  }
  std::atomic<std::size_t> nextChunk{0};
  auto work = [&](std::vector<float> &buffer) {
    for (std::size_t c = nextChunk++; c < m_chunks.size(); c = nextChunk++) {
      measureChunk(m_chunks[c], buffer, pairs.data());
    }
  };
  {
    std::vector<std::jthread> helpers;
    helpers.reserve(workers);
    for (std::size_t w = 1; w < workers; ++w) {
      try {
        helpers.emplace_back(work, std::ref(rows[w]));
      } catch (const std::system_error &) {
        break; // fewer threads: the calling thread takes the chunks left over
      }
    }
    if (workers > 0) {
      work(rows[0]);
    }
  } // joins the helpers
  return pairs;
}

void PairBuilder::measureChunk(const Chunk &chunk, std::vector<float> &rows,
                               PairDistance *out) const {
  const bool copied = m_rowLength > 0 && chunk.reach - chunk.begin <= m_maxChunkRows;
  if (copied) {
    for (std::size_t a = chunk.begin; a < chunk.reach; ++a) {
      if (m_lengths[a] == m_rowLength) {
        std::memcpy(rows.data() + (a - chunk.begin) * m_rowLength,
                    m_items[m_order[a]].feature.data(), m_rowLength * sizeof(float));
      }
    }
  }
  Tile tile;
  tile.rows = copied ? rows.data() : nullptr;
  std::size_t slot = chunk.firstSlot;
  for (std::size_t a0 = chunk.begin; a0 < chunk.end; a0 += kBlock) {
    tile.first = a0;
    tile.size = std::min(kBlock, chunk.end - a0);
    tile.rowBegin = chunk.begin;
    for (std::size_t r = 0; r < tile.size; ++r) {
      tile.firstSlot[r] = slot;
      tile.last[r] = a0 + r + m_counts[a0 + r];
      slot += m_counts[a0 + r];
    }
    measureTile(tile, out);
  }
}

void PairBuilder::measureTile(const Tile &tile, PairDistance *out) const {
  const std::size_t a0 = tile.first;
  bool uniform = tile.rows != nullptr && tile.size == kBlock;
  std::size_t reachEnd = a0;
  std::size_t sharedEnd = SIZE_MAX;
  for (std::size_t r = 0; r < tile.size; ++r) {
    uniform = uniform && m_lengths[a0 + r] == m_rowLength;
    reachEnd = std::max(reachEnd, tile.last[r]);
    sharedEnd = std::min(sharedEnd, tile.last[r]);
  }
  // Later places that pair with all four rows are measured in one pass over their vector;
  // the few at the edges of the tile's windows, and vectors of other lengths, one by one.
  for (std::size_t b = a0 + 1; b <= reachEnd; ++b) {
    if (uniform && b >= a0 + kBlock && b <= sharedEnd && m_lengths[b] == m_rowLength) {
      float products[kBlock];
      dotFour(tile.rows + (a0 - tile.rowBegin) * m_rowLength,
              tile.rows + (b - tile.rowBegin) * m_rowLength, m_rowLength, products);
      for (std::size_t r = 0; r < kBlock; ++r) {
        out[tile.firstSlot[r] + (b - a0 - r - 1)] =
            PairDistance{m_order[a0 + r], m_order[b], distanceFromDot(products[r])};
      }
      continue;
    }
    for (std::size_t r = 0; r < tile.size; ++r) {
      const std::size_t a = a0 + r;
      if (a < b && b <= tile.last[r]) {
        out[tile.firstSlot[r] + (b - a - 1)] =
            PairDistance{m_order[a], m_order[b], distance(a, b, tile.rowBegin, tile.rows)};
      }
    }
  }
}

float PairBuilder::distance(std::size_t a, std::size_t b, std::size_t rowBegin,
                            const float *rows) const {
  const std::uint32_t length = m_lengths[a];
  if (length == 0 || length != m_lengths[b]) {
    return kUnmeasured;
  }
  if (rows != nullptr && length == m_rowLength) {
    return distanceFromDot(
        dot(rows + (a - rowBegin) * m_rowLength, rows + (b - rowBegin) * m_rowLength, length));
  }
  return distanceFromDot(
      dot(m_items[m_order[a]].feature.data(), m_items[m_order[b]].feature.data(), length));
}

} // namespace lumora
