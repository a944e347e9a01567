#include "engine/cache/AnalysisCache.h"
#include "tests/engine/cache/CacheFixtures.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <map>
#include <thread>

using namespace lumora;
using namespace cachetest;

namespace {

constexpr int kRounds = 40;
constexpr int kPerRound = 6;

std::string idOf(int writer, int round, int n) {
  return "/w" + std::to_string(writer) + "/" + std::to_string(round) + "/" + std::to_string(n);
}

/// One writer as a copy of the program runs it: load, analyse a few photos, delete one,
/// sometimes let vectors go, compact. Returns what it expects the files to keep.
std::map<std::string, CacheEntry> runWriter(const CacheFiles &files, int writer,
                                            std::atomic<int> &tornVectors) {
  std::map<std::string, CacheEntry> kept;
  for (int round = 0; round < kRounds; ++round) {
    AnalysisCache cache = AnalysisCache::load(files, nullptr);
    for (const auto &[id, held] : cache.entries()) {
      tornVectors += held.feature.size() == 4 ? 0 : 1;
    }
    for (int n = 0; n < kPerRound; ++n) {
      CacheEntry e = entry(idOf(writer, round, n), writer * 1000 + round * 10 + n);
      kept[e.path] = roundTripped(e);
      cache.put(std::move(e), files.log);
    }
    cache.markDeleted(idOf(writer, round, 0), files.tombstones);
    kept.erase(idOf(writer, round, 0));
    if (round % 3 == 1) {
      cache.releaseFeatures({});
    }
    EXPECT_TRUE(cache.compact(files.base, files.log, files.tombstones).hasValue());
  }
  return kept;
}

} // namespace

// Two copies of the program on one data folder compact at the same moments, again and again:
// no one's entries are dropped, no base comes out torn, no one's deletion is undone.
TEST(SharedCache, twoWritersCompactingAtOnceKeepEveryRecord) {
  testsupport::TempDir dir;
  const CacheFiles files = CacheFiles::forBase(dir.file("Lumora/analysis-cache.bin"));
  std::atomic<int> tornVectors = 0;
  std::map<std::string, CacheEntry> expected;
  std::map<std::string, CacheEntry> second;
  std::thread other([&] { second = runWriter(files, 2, tornVectors); });
  expected = runWriter(files, 1, tornVectors);
  other.join();
  expected.insert(second.begin(), second.end());

  const AnalysisCache loaded = AnalysisCache::load(files, nullptr);
  EXPECT_EQ(tornVectors.load(), 0);
  EXPECT_EQ(loaded.entries().size(), expected.size());
  for (const auto &[id, e] : expected) {
    const auto found = loaded.entries().find(id);
    ASSERT_NE(found, loaded.entries().end()) << id;
    EXPECT_EQ(found->second, e) << id;
  }
}

TEST(SharedCache, aScratchFileLeftByAKilledCompactionGoesAtTheNextLoad) {
  testsupport::TempDir dir;
  const CacheFiles files = CacheFiles::forBase(dir.file("Lumora/analysis-cache.bin"));
  dir.write("Lumora/analysis-cache.bin.tmp", std::string(4096, 'x'));
  (void)AnalysisCache::load(files, nullptr);
  EXPECT_FALSE(std::filesystem::exists(CacheFiles::scratchFor(files.base)));
}
