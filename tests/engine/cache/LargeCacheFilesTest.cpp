// Cache files larger than the window they are read through give exactly what reading them
// whole gave; a tombstone file no cache writes is set aside after the ids before the damage.

#include "engine/cache/AnalysisCache.h"
#include "platform/core/AppDirectories.h"
#include "tests/engine/cache/CacheFixtures.h"
#include "tests/support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace lumora;
using namespace cachetest;

namespace {

std::size_t diagnosticsMentions(const std::string &text) {
  const std::string log = readFile(
      QFile::encodeName(platform::appSupportDirectory()).toStdString() + "/diagnostics.log");
  std::size_t count = 0;
  for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) {
    ++count;
  }
  return count;
}

class LargeCacheFiles : public ::testing::Test {
protected:
  testsupport::TempDir m_dir;
  CacheFiles m_files = CacheFiles::forBase(m_dir.file("analysis-cache.bin"));
};

} // namespace

TEST_F(LargeCacheFiles, recordsAcrossTheReadWindowLoadAsFromMemory) {
  // Paths and vectors of many lengths, up to the largest, put record ends at every kind of
  // offset from the window's end; the log alone spans several windows.
  std::string base = baseHeader(3, 40);
  std::string log = header("LML2", 3);
  PathSet only;
  for (int i = 0; i < 400; ++i) {
    const std::string path =
        "/" + std::string(static_cast<std::size_t>(i * 977 % 8180), 'p') + std::to_string(i % 200);
    const std::size_t features = static_cast<std::size_t>(i * 131 % 8193);
    (i < 40 ? base : log) += AnalysisCache::encodeRecord(entry(path, i, features));
    if (i % 3 == 0) {
      only.insert(path);
    }
  }
  ASSERT_GT(log.size(), 3 * FileWindow::kChunk);
  // The last record of the log is cut off, as by a crash while it was appended.
  const std::string cut = AnalysisCache::encodeRecord(entry("/cut", 1, 8192));
  const std::string logOnDisk = log + cut.substr(0, cut.size() - 1);
  m_dir.write("analysis-cache.bin", base);
  m_dir.write("analysis-cache.bin.log", logOnDisk);

  for (const PathSet *wanted :
       {static_cast<const PathSet *>(nullptr), static_cast<const PathSet *>(&only)}) {
    AnalysisCache expected;
    expected.loadBase(base, wanted);
    expected.loadLog(logOnDisk, wanted);
    const AnalysisCache loaded = AnalysisCache::load(m_files, wanted);
    EXPECT_TRUE(loaded.entries() == expected.entries());
    EXPECT_EQ(loaded.pendingLogCount(), expected.pendingLogCount());
    EXPECT_GE(loaded.pendingLogCount(), 360);
  }
  // The first append cuts exactly the part record away.
  AnalysisCache().put(entry("/next", 2), m_files.log);
  EXPECT_EQ(readFile(m_files.log), log + AnalysisCache::encodeRecord(entry("/next", 2)));
}

TEST_F(LargeCacheFiles, aTombstoneLineLongerThanAnyIdSetsTheFileAside) {
  AnalysisCache cache;
  for (const char *id : {"/a", "/b", "/c"}) {
    cache.put(entry(id, 1), m_files.log);
  }
  const std::string longestId(AnalysisCache::kPathLimit - 1, 'x');
  m_dir.write("analysis-cache.bin.deleted",
              "/a\n" + longestId + "\n" + std::string(AnalysisCache::kPathLimit, 'y') + "\n/c\n");
  const std::size_t before = diagnosticsMentions("hold a line longer than any id; set aside");
  const AnalysisCache loaded = AnalysisCache::load(m_files, nullptr);
  EXPECT_FALSE(loaded.entries().contains("/a"));
  EXPECT_TRUE(loaded.entries().contains("/b"));
  EXPECT_TRUE(loaded.entries().contains("/c")); // after the damage: not read
  EXPECT_FALSE(std::filesystem::exists(m_files.tombstones));
  EXPECT_TRUE(std::filesystem::exists(m_dir.file("analysis-cache.bin.deleted.damaged")));
  (void)AnalysisCache::load(m_files, nullptr);
  EXPECT_EQ(diagnosticsMentions("hold a line longer than any id; set aside"), before + 1);

  // An id the files cannot hold is never written as such a line.
  cache.markDeleted(std::string(AnalysisCache::kPathLimit, 'z'), m_files.tombstones);
  cache.markDeleted("/b", m_files.tombstones);
  EXPECT_EQ(readFile(m_files.tombstones), "/b\n");
}

TEST_F(LargeCacheFiles, aBaseWhoseHeaderDoesNotFitItsSizeIsSetAsideOnceAndItsRecordsKept) {
  // A header claiming every record a count can over a sparse run of zeros: zeros are no
  // record, so nothing past the real records is read, however large the file.
  const std::string good = AnalysisCache::encodeRecord(entry("/kept", 1, 8));
  m_dir.write("analysis-cache.bin", baseHeader(3, UINT32_MAX) + good);
  std::filesystem::resize_file(m_files.base, std::uintmax_t(64) << 20);
  const std::string said = "records in ";
  const std::size_t before = diagnosticsMentions(said);
  const PathSet none;
  AnalysisCache loaded = AnalysisCache::load(m_files, &none);
  ASSERT_EQ(loaded.entries().size(), 1u);
  EXPECT_EQ(loaded.entries().at("/kept").feature.size(), 8u); // no other home for it now
  EXPECT_TRUE(loaded.needsMigration());
  EXPECT_FALSE(std::filesystem::exists(m_files.base));
  EXPECT_TRUE(std::filesystem::exists(m_dir.file("analysis-cache.bin.damaged")));
  EXPECT_EQ(diagnosticsMentions(said), before + 1);
  EXPECT_TRUE(AnalysisCache::load(m_files, nullptr).entries().empty());
  EXPECT_EQ(diagnosticsMentions(said), before + 1);

  // The compaction the flag asks for writes what was read as a sound base.
  ASSERT_TRUE(loaded.compact(m_files.base, m_files.log, m_files.tombstones).hasValue());
  const AnalysisCache again = AnalysisCache::load(m_files, nullptr);
  ASSERT_EQ(again.entries().size(), 1u);
  EXPECT_EQ(again.entries().at("/kept").feature.size(), 8u);
  EXPECT_FALSE(again.needsMigration());
}

TEST_F(LargeCacheFiles, aZeroFilledBaseIsSetAsideAndZerosEndEveryFile) {
  m_dir.write("analysis-cache.bin", std::string(1 << 16, '\0'));
  const std::size_t before = diagnosticsMentions("has no cache header; set aside");
  EXPECT_TRUE(AnalysisCache::load(m_files, nullptr).entries().empty());
  EXPECT_TRUE(std::filesystem::exists(m_dir.file("analysis-cache.bin.damaged")));
  (void)AnalysisCache::load(m_files, nullptr);
  EXPECT_EQ(diagnosticsMentions("has no cache header; set aside"), before + 1);

  // A count the size can hold, and a log, over zeros: no empty-path entry appears.
  AnalysisCache cache;
  cache.loadBase(baseHeader(3, 100) + std::string(100 * 39, '\0'), nullptr);
  cache.loadLog(header("LML2", 3) + std::string(4096, '\0'), nullptr);
  EXPECT_TRUE(cache.entries().empty());
  EXPECT_EQ(cache.pendingLogCount(), 0);
}
