#include "engine/cache/AnalysisCache.h"
#include "platform/core/AppDirectories.h"
#include "tests/engine/cache/CacheFixtures.h"
#include "tests/support/TempDir.h"

#include <QFile>
#include <chrono>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace lumora;
using namespace cachetest;

namespace {

std::string diagnostics() {
  return readFile(QFile::encodeName(platform::appSupportDirectory()).toStdString() +
                  "/diagnostics.log");
}

class AnalysisCacheFiles : public ::testing::Test {
protected:
  testsupport::TempDir m_dir;
  CacheFiles m_files = CacheFiles::forBase(m_dir.file("sub/analysis-cache.bin"));

  [[nodiscard]] AnalysisCache reload(const PathSet *only = nullptr) const {
    return AnalysisCache::load(m_files, only);
  }
};

} // namespace

TEST_F(AnalysisCacheFiles, putCreatesTheLogWithItsHeaderThenAppends) {
  AnalysisCache cache;
  cache.put(entry("/a", 1), m_files.log);
  cache.put(entry("/b", 2), m_files.log);
  EXPECT_EQ(readFile(m_files.log), std::string("LML2\x03\0\0\0", 8) +
                                       AnalysisCache::encodeRecord(entry("/a", 1)) +
                                       AnalysisCache::encodeRecord(entry("/b", 2)));
  EXPECT_EQ(cache.pendingLogCount(), 2);
  EXPECT_EQ(reload().entries().size(), 2u);
}

TEST_F(AnalysisCacheFiles, aDamagedLogIsRepairedBeforeTheNextAppend) {
  const std::string record = AnalysisCache::encodeRecord(entry("/a", 1));
  for (const std::string &damaged :
       {std::string("LML"), header("XXXX", 3) + record, header("LML2", 7) + record,
        header("LML2", 3) + record.substr(0, 30)}) {
    m_dir.write("sub/analysis-cache.bin.log", damaged);
    AnalysisCache cache;
    cache.put(entry("/b", 2), m_files.log);
    EXPECT_EQ(readFile(m_files.log),
              header("LML2", 3) + AnalysisCache::encodeRecord(entry("/b", 2)));
  }
  // A version-2 log keeps its records, rewritten as version 3.
  m_dir.write("sub/analysis-cache.bin.log", header("LML2", 2) + recordV2(entry("/a", 1)));
  AnalysisCache cache;
  cache.put(entry("/b", 2), m_files.log);
  const AnalysisCache loaded = reload();
  EXPECT_FALSE(loaded.needsMigration());
  EXPECT_EQ(loaded.entries().at("/a"), roundTripped(entry("/a", 1)));
  EXPECT_EQ(loaded.entries().at("/b"), roundTripped(entry("/b", 2)));
  EXPECT_NE(diagnostics().find("rewritten as version 3"), std::string::npos);
}

TEST_F(AnalysisCacheFiles, recordsTheReaderWouldRejectAreKeptInMemoryOnly) {
  AnalysisCache cache;
  cache.put(entry(std::string(AnalysisCache::kPathLimit, 'p'), 1), m_files.log);
  cache.put(entry("/photos/wide", 2, AnalysisCache::kFeatureLimit + 1), m_files.log);
  cache.put(entry("/a", 3), m_files.log);
  EXPECT_EQ(cache.entries().size(), 3u);
  EXPECT_EQ(cache.pendingLogCount(), 3);
  EXPECT_EQ(reload().entries().size(), 1u);
  EXPECT_NE(diagnostics().find("cache entry not written (path 12 bytes, 8193 features): wide\n"),
            std::string::npos);
  ASSERT_TRUE(cache.compact(m_files.base, m_files.log, m_files.tombstones).hasValue());
  EXPECT_EQ(reload().entries().size(), 1u);
}

TEST_F(AnalysisCacheFiles, tombstonesStayOneIdPerLine) {
  m_dir.write("sub/analysis-cache.bin.deleted", "/torn");
  AnalysisCache cache;
  cache.put(entry("/a", 1), m_files.log);
  cache.put(entry("/b", 2), m_files.log);
  cache.markDeleted("/a", m_files.tombstones);
  cache.markDeleted("/b\n/a", m_files.tombstones);
  EXPECT_EQ(readFile(m_files.tombstones), "/torn\n/a\n");
  EXPECT_EQ(cache.entries().size(), 1u);
  EXPECT_TRUE(reload().entries().contains("/b"));
  EXPECT_EQ(reload().entries().size(), 1u);
}

TEST_F(AnalysisCacheFiles, compactionReplacesTheFilesWithOneBase) {
  AnalysisCache cache;
  for (int n = 0; n < 5; ++n) {
    cache.put(entry("/" + std::to_string(n), n), m_files.log);
  }
  cache.markDeleted("/0", m_files.tombstones);
  m_dir.write("sub/analysis-cache.bin.tmp", "left over");
  ASSERT_TRUE(cache.compact(m_files.base, m_files.log, m_files.tombstones).hasValue());
  EXPECT_FALSE(std::filesystem::exists(m_files.log));
  EXPECT_FALSE(std::filesystem::exists(m_files.tombstones));
  EXPECT_FALSE(std::filesystem::exists(CacheFiles::scratchFor(m_files.base)));
  const AnalysisCache loaded = reload();
  EXPECT_EQ(loaded.pendingLogCount(), 0);
  ASSERT_EQ(loaded.entries().size(), 4u);
  for (const auto &[path, e] : cache.entries()) {
    EXPECT_EQ(loaded.entries().at(path), roundTripped(e));
  }
}

TEST_F(AnalysisCacheFiles, compactionKeepsVectorsThatMemoryDoesNotHold) {
  AnalysisCache writer;
  for (int n = 0; n < 4; ++n) {
    writer.put(entry("/" + std::to_string(n), n), m_files.log);
  }
  ASSERT_TRUE(writer.compact(m_files.base, m_files.log, m_files.tombstones).hasValue());
  writer.put(entry("/1", 11), m_files.log); // a newer analysis, in the log only
  const PathSet scanned{"/0"};
  AnalysisCache cache = reload(&scanned);
  EXPECT_TRUE(cache.entries().at("/1").feature.empty());
  cache.put(entry("/4", 4), m_files.log);
  cache.releaseFeatures({"/0"});
  EXPECT_TRUE(cache.releasedFeatures());
  EXPECT_TRUE(cache.entries().at("/4").feature.empty());
  ASSERT_TRUE(cache.compact(m_files.base, m_files.log, m_files.tombstones).hasValue());
  const AnalysisCache loaded = reload();
  ASSERT_EQ(loaded.entries().size(), 5u);
  EXPECT_EQ(loaded.entries().at("/1"), roundTripped(entry("/1", 11)));
  for (const int n : {0, 2, 3, 4}) {
    const std::string path = "/" + std::to_string(n);
    EXPECT_EQ(loaded.entries().at(path), roundTripped(entry(path, n)));
  }
}

TEST_F(AnalysisCacheFiles, aTakenVectorIsStillCompactedAndComesBackOnlyToTheSameAnalysis) {
  AnalysisCache cache;
  for (int n = 0; n < 4; ++n) {
    cache.put(entry("/" + std::to_string(n), n), m_files.log);
  }
  ASSERT_TRUE(cache.compact(m_files.base, m_files.log, m_files.tombstones).hasValue());
  cache = reload();
  std::vector<float> taken[4];
  for (int n = 0; n < 4; ++n) {
    taken[n] = cache.takeFeature("/" + std::to_string(n));
    EXPECT_EQ(taken[n], roundTripped(entry("/", n)).feature);
    EXPECT_TRUE(cache.entries().at("/" + std::to_string(n)).feature.empty());
  }
  EXPECT_TRUE(cache.takeFeature("/0").empty());
  EXPECT_TRUE(cache.takeFeature("/missing").empty());

  // While the vectors are out, a compaction writes the ones the files hold.
  ASSERT_TRUE(cache.compact(m_files.base, m_files.log, m_files.tombstones).hasValue());
  EXPECT_EQ(reload().entries().at("/2"), roundTripped(entry("/2", 2)));

  const CacheEntry e0 = cache.entries().at("/0");
  cache.restoreFeature("/0", Date{e0.modified.secondsSince1970 + 0.0005}, e0.fileSize, taken[0]);
  EXPECT_EQ(cache.entries().at("/0").feature, taken[0]);
  cache.put(entry("/1", 11), m_files.log); // analysed anew meanwhile: the newer vector stays
  cache.restoreFeature("/1", entry("/1", 1).modified, entry("/1", 1).fileSize, taken[1]);
  EXPECT_EQ(cache.entries().at("/1"), entry("/1", 11));
  const CacheEntry e2 = cache.entries().at("/2");
  cache.restoreFeature("/2", e2.modified, e2.fileSize + 1, taken[2]);
  cache.restoreFeature("/2", Date{e2.modified.secondsSince1970 + 0.002}, e2.fileSize, taken[2]);
  EXPECT_TRUE(cache.entries().at("/2").feature.empty());
  cache.markDeleted("/3", m_files.tombstones);
  cache.restoreFeature("/3", entry("/3", 3).modified, entry("/3", 3).fileSize, taken[3]);
  EXPECT_FALSE(cache.entries().contains("/3"));

  // "/2" is still withheld and keeps its stored vector through the next compaction.
  ASSERT_TRUE(cache.compact(m_files.base, m_files.log, m_files.tombstones).hasValue());
  const AnalysisCache loaded = reload();
  ASSERT_EQ(loaded.entries().size(), 3u);
  EXPECT_EQ(loaded.entries().at("/0"), roundTripped(entry("/0", 0)));
  EXPECT_EQ(loaded.entries().at("/1"), roundTripped(entry("/1", 11)));
  EXPECT_EQ(loaded.entries().at("/2"), roundTripped(entry("/2", 2)));
}

TEST_F(AnalysisCacheFiles, compactionMigratesVersionTwo) {
  m_dir.write("sub/analysis-cache.bin", baseHeader(2, 1) + recordV2(entry("/a", 1)));
  const PathSet none;
  const AnalysisCache cache = reload(&none);
  EXPECT_TRUE(cache.needsMigration());
  ASSERT_TRUE(cache.compact(m_files.base, m_files.log, std::nullopt).hasValue());
  EXPECT_EQ(readFile(m_files.base), baseHeader(3, 1) + AnalysisCache::encodeRecord(entry("/a", 1)));
}

TEST_F(AnalysisCacheFiles, fifosInPlaceOfTheFilesAreRefusedWithoutBlocking) {
  std::filesystem::create_directories(m_files.base.parent_path());
  for (const auto &path : {m_files.base, m_files.log, m_files.tombstones}) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  }
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(reload().entries().empty());
  AnalysisCache cache;
  cache.put(entry("/a", 1), m_files.log);
  cache.markDeleted("/a", m_files.tombstones);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_NE(diagnostics().find("analysis-cache.bin not read: a FIFO"), std::string::npos);
}

TEST_F(AnalysisCacheFiles, filesAreCreatedPrivate) {
  AnalysisCache cache;
  cache.put(entry("/a", 1), m_files.log);
  ASSERT_TRUE(cache.compact(m_files.base, m_files.log, m_files.tombstones).hasValue());
  const auto mode = std::filesystem::status(m_files.base).permissions();
  EXPECT_EQ(mode & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}
