// Each file the engine keeps in the data folder, planted as a FIFO or as a link to a file of
// the user's: the operation that uses it ends (within a time-out), works, leaves a regular
// file of its own in its place, and never reads, writes, truncates or chmods the target.

#include "engine/cache/AnalysisCache.h"
#include "engine/diagnostics/Diagnostics.h"
#include "engine/favorites/FavoriteStore.h"
#include "platform/core/AppDirectories.h"
#include "tests/engine/cache/CacheFixtures.h"
#include "tests/support/PlantedFile.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>

using namespace lumora;
using namespace cachetest;
using testsupport::Planted;

namespace {

constexpr std::chrono::seconds kTimeOut(5);

std::filesystem::path dataFolder() {
  platform::makeAppSupportDirectory();
  return QFile::encodeName(platform::appSupportDirectory()).toStdString();
}

CacheFiles cacheFiles() { return CacheFiles::forBase(dataFolder() / "analysis-cache.bin"); }

std::string diagnosticsLog() { return readFile(dataFolder() / "diagnostics.log"); }

/// One data file and what the engine does with it.
struct DataFileUse {
  const char *name;
  /// Uses the file; runs on a thread of its own under the time-out.
  std::function<void()> use;
  /// Checks that the use worked.
  std::function<void()> check;
};

std::vector<DataFileUse> uses() {
  return {
      {"session.running", [] { Diagnostics::beginSession(); },
       [] {
         EXPECT_EQ(readFile(dataFolder() / "session.running"), "running");
         EXPECT_NE(diagnosticsLog().find("session.running was a"), std::string::npos);
       }},
      {"diagnostics.log",
       [] {
         EXPECT_TRUE(Diagnostics::exportText().endsWith(QStringLiteral("（暂无记录）")));
         Diagnostics::log(QStringLiteral("scan"), QStringLiteral("after the plant"));
       },
       [] {
         const std::string log = diagnosticsLog();
         EXPECT_NE(log.find("[scan] after the plant"), std::string::npos);
         EXPECT_NE(log.find("diagnostics.log was a"), std::string::npos);
       }},
      {"analysis-cache.bin",
       [] {
         AnalysisCache cache = AnalysisCache::load(cacheFiles(), nullptr);
         EXPECT_TRUE(cache.entries().empty());
         cache.put(entry("/a", 1), cacheFiles().log);
         ASSERT_TRUE(cache.compact(cacheFiles().base, cacheFiles().log, std::nullopt));
       },
       [] { EXPECT_TRUE(AnalysisCache::load(cacheFiles(), nullptr).entries().contains("/a")); }},
      {"analysis-cache.bin.log", [] { AnalysisCache().put(entry("/a", 1), cacheFiles().log); },
       [] {
         EXPECT_TRUE(AnalysisCache::load(cacheFiles(), nullptr).entries().contains("/a"));
         EXPECT_NE(diagnosticsLog().find("replaced by a new file"), std::string::npos);
       }},
      {"analysis-cache.bin.deleted",
       [] {
         AnalysisCache cache;
         cache.put(entry("/a", 1), cacheFiles().log);
         cache.put(entry("/b", 2), cacheFiles().log);
         cache.markDeleted("/a", cacheFiles().tombstones);
       },
       [] {
         EXPECT_EQ(readFile(cacheFiles().tombstones), "/a\n");
         EXPECT_FALSE(AnalysisCache::load(cacheFiles(), nullptr).entries().contains("/a"));
       }},
      {"favorites.json",
       [] {
         FavoriteStore store = FavoriteStore::load();
         EXPECT_TRUE(store.ids().empty());
         EXPECT_TRUE(store.set("/p/a.jpg", true));
       },
       [] { EXPECT_EQ(readFile(FavoriteStore::defaultURL()), R"(["\/p\/a.jpg"])"); }},
      {"favorites.json.lock",
       [] {
         FavoriteStore store = FavoriteStore::load();
         EXPECT_TRUE(store.set("/p/a.jpg", true));
       },
       [] { EXPECT_EQ(FavoriteStore::load().ids().size(), 1u); }},
  };
}

class PlantedDataFile : public ::testing::TestWithParam<std::tuple<std::size_t, Planted>> {};

TEST_P(PlantedDataFile, isReplacedWithoutHangingOrTouchingTheLinkTarget) {
  const DataFileUse use = uses()[std::get<0>(GetParam())];
  const Planted kind = std::get<1>(GetParam());
  const testsupport::LinkTarget target(dataFolder().parent_path() / "precious.txt");
  const std::filesystem::path planted = dataFolder() / use.name;
  ASSERT_TRUE(testsupport::plant(kind, planted, target.path()));

  ASSERT_TRUE(testsupport::finishesWithin(kTimeOut, use.use, dataFolder()));
  use.check();
  EXPECT_TRUE(testsupport::isRegularFile(planted));
  EXPECT_TRUE(target.isUntouched());
}

INSTANTIATE_TEST_SUITE_P(EveryFile, PlantedDataFile,
                         ::testing::Combine(::testing::Range<std::size_t>(0, uses().size()),
                                            ::testing::Values(Planted::fifo, Planted::symlink)),
                         [](const auto &param) {
                           std::string name = uses()[std::get<0>(param.param)].name;
                           std::replace(name.begin(), name.end(), '.', '_');
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name + "_" + testsupport::nameOf(std::get<1>(param.param));
                         });

} // namespace
