#include "engine/cache/AnalysisCache.h"
#include "engine/cache/PosixCompactionFiles.h"
#include "tests/engine/cache/CacheFixtures.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace lumora;
using namespace cachetest;

namespace {

struct Killed {};

/// The real file operations, cut short after a budget of steps: each byte written is one step
/// and so is every other operation. When the budget runs out the operation either reports an
/// I/O error or, to stand for the process being killed, throws so that nothing after it runs.
/// Flushes to the disk are recorded but skipped: they change nothing a reload can see, and
/// thousands of them would make the test slow.
class InterruptedFiles final : public CompactionFiles {
public:
  enum class Mode { fail, kill };
  InterruptedFiles(std::size_t budget, Mode mode) : m_budget(budget), m_mode(mode) {}

  std::vector<std::string> journal;
  [[nodiscard]] std::size_t stepsTaken() const { return m_taken; }

  Expected<void, QString> create(const std::filesystem::path &path) override {
    return step("create " + path.filename().string()) ? m_real.create(path) : interrupted();
  }
  Expected<void, QString> write(std::string_view bytes) override {
    journal.push_back("write");
    const std::size_t allowed = std::min(bytes.size(), m_budget - m_taken);
    m_taken += allowed;
    if (auto written = m_real.write(bytes.substr(0, allowed));
        !written || allowed == bytes.size()) {
      return written;
    }
    return interrupted();
  }
  Expected<void, QString> syncAndClose() override {
    if (!step("sync file")) {
      return interrupted();
    }
    m_real.abandon();
    return {};
  }
  void abandon() override { m_real.abandon(); }
  Expected<void, QString> rename(const std::filesystem::path &from,
                                 const std::filesystem::path &to) override {
    return step("rename") ? m_real.rename(from, to) : interrupted();
  }
  Expected<void, QString> syncFolder(const std::filesystem::path &folder) override {
    (void)folder;
    return step("sync folder") ? Expected<void, QString>() : interrupted();
  }
  void remove(const std::filesystem::path &path) override {
    if (step("remove " + path.filename().string())) {
      m_real.remove(path);
    } else {
      (void)interrupted();
    }
  }

private:
  bool step(std::string name) {
    journal.push_back(std::move(name));
    if (m_taken == m_budget) {
      return false;
    }
    ++m_taken;
    return true;
  }
  Expected<void, QString> interrupted() const {
    if (m_mode == Mode::kill) {
      throw Killed{};
    }
    return Unexpected<QString>{QStringLiteral("injected failure")};
  }

  PosixCompactionFiles m_real;
  std::size_t m_budget;
  std::size_t m_taken = 0;
  Mode m_mode;
};

constexpr std::size_t kUnlimited = SIZE_MAX;

class CompactionInterrupt : public ::testing::Test {
protected:
  testsupport::TempDir m_dir;
  CacheFiles m_files = CacheFiles::forBase(m_dir.file("analysis-cache.bin"));

  /// A version-2 base, a log that overrides and adds, tombstones, and a cache that loaded them
  /// keeping only two vectors and then stored one more analysis.
  AnalysisCache prepare() {
    for (const auto &file :
         {m_files.log, m_files.tombstones, CacheFiles::scratchFor(m_files.base)}) {
      std::filesystem::remove(file);
    }
    std::string base = baseHeader(2, 6);
    for (int n = 0; n < 6; ++n) {
      base += recordV2(entry("/" + std::to_string(n), n, 8));
    }
    m_dir.write("analysis-cache.bin", base);
    m_dir.write("analysis-cache.bin.log", header("LML2", 3) +
                                              AnalysisCache::encodeRecord(entry("/1", 11, 8)) +
                                              AnalysisCache::encodeRecord(entry("/6", 6, 8)));
    m_dir.write("analysis-cache.bin.deleted", "/2\n");
    const PathSet scanned{"/0", "/6"};
    AnalysisCache cache = AnalysisCache::load(m_files, &scanned);
    cache.put(entry("/7", 7, 8), m_files.log);
    return cache;
  }

  std::unordered_map<std::string, CacheEntry> loadAll() const {
    return AnalysisCache::load(m_files, nullptr).entries();
  }
};

} // namespace

TEST_F(CompactionInterrupt, theNewBaseIsDurableBeforeAnythingIsRemoved) {
  InterruptedFiles files(kUnlimited, InterruptedFiles::Mode::fail);
  ASSERT_TRUE(prepare().compact(m_files.base, m_files.log, m_files.tombstones, files).hasValue());
  const auto &j = files.journal;
  const auto at = [&](const std::string &op) {
    return std::find(j.begin(), j.end(), op) - j.begin();
  };
  EXPECT_EQ(j.front(), "remove analysis-cache.bin.tmp");
  EXPECT_LT(at("write"), at("sync file"));
  EXPECT_LT(at("sync file"), at("rename"));
  EXPECT_LT(at("rename"), at("sync folder"));
  EXPECT_LT(at("sync folder"), at("remove analysis-cache.bin.deleted"));
  EXPECT_LT(at("remove analysis-cache.bin.deleted"), at("remove analysis-cache.bin.log"));
}

TEST_F(CompactionInterrupt, anyInterruptionLeavesTheOldOrTheNewEntries) {
  const AnalysisCache cache = prepare();
  const auto before = loadAll();
  InterruptedFiles measure(kUnlimited, InterruptedFiles::Mode::fail);
  ASSERT_TRUE(cache.compact(m_files.base, m_files.log, m_files.tombstones, measure).hasValue());
  const auto after = loadAll();
  ASSERT_EQ(after.size(), 7u);
  ASSERT_NE(before, after); // version-2 vectors lose precision: the two states differ
  for (const auto mode : {InterruptedFiles::Mode::fail, InterruptedFiles::Mode::kill}) {
    for (std::size_t budget = 0; budget < measure.stepsTaken(); ++budget) {
      const AnalysisCache interrupted = prepare();
      InterruptedFiles files(budget, mode);
      try {
        (void)interrupted.compact(m_files.base, m_files.log, m_files.tombstones, files);
      } catch (const Killed &) {
      }
      const auto loaded = loadAll();
      ASSERT_TRUE(loaded == before || loaded == after) << "budget " << budget;
      // Whatever was left behind, the next compaction completes the job.
      InterruptedFiles unlimited(kUnlimited, mode);
      ASSERT_TRUE(AnalysisCache::load(m_files, nullptr)
                      .compact(m_files.base, m_files.log, m_files.tombstones, unlimited)
                      .hasValue());
      ASSERT_EQ(loadAll(), after) << "budget " << budget;
    }
  }
}
