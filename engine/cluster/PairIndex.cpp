#include "engine/cluster/PairIndex.h"

#include "engine/util/Numeric.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace lumora::Clusterer {
namespace {

/// Below this many pairs per thread, starting a thread costs more than it saves.
constexpr std::size_t kMinPairsPerThread = 250000;

/// Runs `work(0)` … `work(count - 1)`, each on its own thread but the first, which runs here;
/// when no thread can be started, the rest run here too.
template <typename Work> void inParallel(std::size_t count, const Work &work) {
  std::vector<std::jthread> helpers;
  std::size_t started = 1;
  for (; started < count; ++started) {
    try {
      helpers.emplace_back(work, started);
    } catch (const std::system_error &) {
      break;
    }
  }
  work(0);
  helpers.clear(); // joins
  for (std::size_t r = started; r < count; ++r) {
    work(r);
  }
}

} // namespace

PairIndex::PairIndex() : buckets(kBucketCount) {}

PairIndex::PairIndex(const std::vector<PairDistance> &pairs) : PairIndex() {
  // The list is cut into one run per thread. Each thread counts its run's pairs per bucket;
  // the counts give every run its own stretch of every bucket, runs in list order, so the
  // threads then copy their pairs at the same time and each bucket still keeps list order.
  const std::size_t runs = std::clamp<std::size_t>(
      pairs.size() / kMinPairsPerThread, 1, std::max(1u, std::thread::hardware_concurrency()));
  const std::size_t runLength = (pairs.size() + runs - 1) / runs;
  const auto runOf = [&](std::size_t r) {
    return std::pair(
        pairs.begin() + static_cast<std::ptrdiff_t>(std::min(r * runLength, pairs.size())),
        pairs.begin() + static_cast<std::ptrdiff_t>(std::min((r + 1) * runLength, pairs.size())));
  };
  std::vector<std::array<std::size_t, kBucketCount>> starts(runs);
  inParallel(runs, [&](std::size_t r) {
    starts[r].fill(0);
    const auto [first, last] = runOf(r);
    for (auto pair = first; pair != last; ++pair) {
      ++starts[r][static_cast<std::size_t>(bucketFor(pair->d))];
    }
  });
  for (std::size_t b = 0; b < kBucketCount; ++b) {
    std::size_t size = 0;
    for (auto &run : starts) {
      const std::size_t count = run[b];
      run[b] = size; // from here on: where the run's next pair in this bucket goes
      size += count;
    }
    buckets[b].resize(size);
  }
  inParallel(runs, [&](std::size_t r) {
    const auto [first, last] = runOf(r);
    for (auto pair = first; pair != last; ++pair) {
      const auto b = static_cast<std::size_t>(bucketFor(pair->d));
      buckets[b][starts[r][b]++] = *pair;
    }
  });
  total = static_cast<std::int64_t>(pairs.size());
}

int PairIndex::bucketFor(float distance) {
  const float d = std::isnan(distance) ? 2.0f : distance;
  const std::int64_t b = numeric::truncatedInt(static_cast<double>(d * 64.0f));
  return static_cast<int>(std::clamp<std::int64_t>(b, 0, kBucketCount - 1));
}

} // namespace lumora::Clusterer
