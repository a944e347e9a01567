// Each file the engine keeps in the data folder, planted as a FIFO or as a link to a file of
// the user's: the operation that uses it ends (within a time-out) and works, a regular file
// of its own takes the planted entry's place, and the link's target is left as it was.

#include "engine/cache/AnalysisCache.h"
#include "engine/diagnostics/Diagnostics.h"
#include "engine/favorites/FavoriteStore.h"
#include "platform/core/AppDirectories.h"
#include "tests/engine/cache/CacheFixtures.h"
#include "tests/support/PlantedFile.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace lumora;
using namespace cachetest;
using testsupport::Planted;

namespace {

std::filesystem::path dataFolder() {
  platform::makeAppSupportDirectory();
  return QFile::encodeName(platform::appSupportDirectory()).toStdString();
}

CacheFiles cacheFiles() { return CacheFiles::forBase(dataFolder() / "analysis-cache.bin"); }

bool cacheHolds(const std::string &id) {
  return AnalysisCache::load(cacheFiles(), nullptr).entries().contains(id);
}

bool logHolds(const std::string &text) {
  return readFile(dataFolder() / "diagnostics.log").find(text) != std::string::npos;
}

/// One data file, what the engine does with it, and whether that worked.
struct DataFileUse {
  const char *name;
  std::function<void()> use;
  std::function<bool()> worked;
};

const std::vector<DataFileUse> kUses = {
    {"session.running", [] { Diagnostics::beginSession(); },
     [] { return readFile(dataFolder() / "session.running") == "running"; }},
    {"diagnostics.log",
     [] {
       EXPECT_TRUE(Diagnostics::exportText().endsWith(QStringLiteral("（暂无记录）")));
       Diagnostics::log(QStringLiteral("scan"), QStringLiteral("after the plant"));
     },
     [] { return logHolds("[scan] after the plant") && logHolds("diagnostics.log was a"); }},
    {"analysis-cache.bin",
     [] {
       AnalysisCache cache = AnalysisCache::load(cacheFiles(), nullptr);
       cache.put(entry("/a", 1), cacheFiles().log);
       EXPECT_TRUE(cache.compact(cacheFiles().base, cacheFiles().log, std::nullopt));
     },
     [] { return cacheHolds("/a"); }},
    {"analysis-cache.bin.log", [] { AnalysisCache().put(entry("/a", 1), cacheFiles().log); },
     [] { return cacheHolds("/a") && logHolds("replaced by a new file"); }},
    {"analysis-cache.bin.deleted",
     [] {
       AnalysisCache cache;
       cache.put(entry("/a", 1), cacheFiles().log);
       cache.markDeleted("/a", cacheFiles().tombstones);
     },
     [] { return readFile(cacheFiles().tombstones) == "/a\n" && !cacheHolds("/a"); }},
    {"favorites.json", [] { EXPECT_TRUE(FavoriteStore::load().set("/p/a.jpg", true)); },
     [] { return readFile(FavoriteStore::defaultURL()) == R"(["\/p\/a.jpg"])"; }},
    {"favorites.json.lock", [] { EXPECT_TRUE(FavoriteStore::load().set("/p/a.jpg", true)); },
     [] { return FavoriteStore::load().ids().size() == 1; }},
};

class PlantedDataFile : public ::testing::TestWithParam<std::tuple<std::size_t, Planted>> {};

TEST_P(PlantedDataFile, isReplacedWithoutHangingOrTouchingTheLinkTarget) {
  const DataFileUse &use = kUses[std::get<0>(GetParam())];
  const std::filesystem::path target = dataFolder().parent_path() / "precious.txt";
  const std::filesystem::path planted = dataFolder() / use.name;
  testsupport::makeLinkTarget(target);
  ASSERT_TRUE(testsupport::plant(std::get<1>(GetParam()), planted, target));
  ASSERT_TRUE(testsupport::finishesWithin(std::chrono::seconds(5), use.use, dataFolder()));
  EXPECT_TRUE(use.worked());
  EXPECT_TRUE(testsupport::isRegularFile(planted));
  EXPECT_TRUE(testsupport::isUntouchedLinkTarget(target));
}

INSTANTIATE_TEST_SUITE_P(EveryFile, PlantedDataFile,
                         ::testing::Combine(::testing::Range<std::size_t>(0, kUses.size()),
                                            ::testing::Values(Planted::fifo, Planted::symlink)),
                         [](const auto &param) {
                           std::string name = kUses[std::get<0>(param.param)].name;
                           std::replace_if(
                               name.begin(), name.end(), [](char c) { return !std::isalnum(c); },
                               '_');
                           return name + "_" + testsupport::nameOf(std::get<1>(param.param));
                         });

} // namespace
