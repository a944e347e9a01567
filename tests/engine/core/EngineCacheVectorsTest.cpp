#include "engine/analysis/VisionAnalyzer.h"
#include "engine/cache/AnalyzerStamp.h"
#include "tests/engine/core/EngineFixture.h"

using namespace lumora;
using namespace enginetest;

namespace {

/// Lets a test look at the cache the engine holds in memory.
class InspectableEngine : public LumoraEngine {
public:
  using LumoraEngine::LumoraEngine;
  AnalysisCache cacheInMemory() {
    const std::scoped_lock guard(m_mutex);
    return m_cache;
  }
};

} // namespace

// A warm scan lends the cached vectors to its photos instead of copying them; they must come
// back to the cache, and a compaction in the same scan must still write every one of them.
TEST_F(EngineTest, borrowedVectorsReturnToTheCacheAndReachEveryCompaction) {
  writeBurst("a", 1, 3, 1'700'000'000);
  writeBurst("b", 2, 3, 1'700'000'100);
  writeBurst("c", 3, 3, 1'700'000'200);
  const fs::path base = cacheDir.file("analysis-cache.bin");
  InspectableEngine engine(QString::fromStdString(base.string()));
  Recorder cold;
  ASSERT_EQ(scanFolder(engine, cold).items.size(), 9u);
  const AnalysisCache written = AnalysisCache::load(CacheFiles::forBase(base), nullptr);
  ASSERT_EQ(written.entries().size(), 9u);

  Recorder warm;
  const ScanResult hits = scanFolder(engine, warm);
  EXPECT_EQ(hits.cacheHitCount, 9);
  const AnalysisCache inMemory = engine.cacheInMemory();
  for (const PhotoItem &item : hits.items) {
    EXPECT_TRUE(item.feature.empty());
    EXPECT_EQ(inMemory.entries().at(item.id).feature, written.entries().at(item.id).feature);
  }

  // One changed file makes the cache dirty, so this scan compacts while the other eight
  // vectors are lent to its photos.
  const auto changed = photos.file("b1.png");
  ASSERT_TRUE(testsupport::writeScene(changed, 7, 500, 400));
  testsupport::setModified(changed, 1'700'000'101);
  Recorder third;
  EXPECT_EQ(scanFolder(engine, third).cacheHitCount, 8);
  EXPECT_FALSE(fs::exists(CacheFiles::forBase(base).log)); // compacted
  const AnalysisCache rewritten = AnalysisCache::load(CacheFiles::forBase(base), nullptr);
  ASSERT_EQ(rewritten.entries().size(), 9u);
  for (const auto &[path, entry] : rewritten.entries()) {
    ASSERT_FALSE(entry.feature.empty()) << path;
    if (path != changed.string()) {
      EXPECT_EQ(entry.feature, written.entries().at(path).feature) << path;
    }
  }
  Recorder fourth;
  EXPECT_EQ(scanFolder(engine, fourth).cacheHitCount, 9);
}

// Vectors written by another analyzer must not count as hits: they would be measured against
// the new analyzer's vectors. The stamp beside the cache names the writer; the cache files
// themselves stay in their own format.
TEST_F(EngineTest, cacheOfAnotherAnalyzerIsDroppedAndAStampedOneIsKept) {
  writeBurst("a", 1, 3, 1'700'000'000);
  const fs::path base = cacheDir.file("analysis-cache.bin");
  const CacheFiles files = CacheFiles::forBase(base);
  {
    LumoraEngine engine(QString::fromStdString(base.string()));
    Recorder cold;
    ASSERT_EQ(scanFolder(engine, cold).cacheHitCount, 0);
  }
  EXPECT_EQ(analyzerstamp::read(files), std::string(VisionAnalyzer::kRevision));
  {
    LumoraEngine engine(QString::fromStdString(base.string()));
    Recorder warm;
    EXPECT_EQ(scanFolder(engine, warm).cacheHitCount, 3);
  }
  for (const char *other : {"older\n", ""}) {
    if (*other == '\0') {
      fs::remove(analyzerstamp::pathFor(files)); // a cache from before stamps existed
    } else {
      std::ofstream(analyzerstamp::pathFor(files)) << other;
    }
    LumoraEngine engine(QString::fromStdString(base.string()));
    Recorder rescan;
    const ScanResult result = scanFolder(engine, rescan);
    EXPECT_EQ(result.cacheHitCount, 0) << other;
    EXPECT_EQ(result.items.size(), 3u);
    EXPECT_EQ(analyzerstamp::read(files), std::string(VisionAnalyzer::kRevision));
    EXPECT_EQ(AnalysisCache::load(files, nullptr).entries().size(), 3u);
  }
}
