#include "tests/engine/core/EngineFixture.h"

#include "engine/cache/AnalysisCache.h"

#include <cmath>
#include <limits>
#include <thread>

using namespace lumora;
using namespace enginetest;

TEST_F(EngineTest, rescanAnalysesOnlyNewOrChangedFiles) {
  writeBurst("a", 1, 3, 1'700'000'000);
  writeBurst("b", 2, 3, 1'700'000'100);
  writeBurst("c", 3, 3, 1'700'000'200);
  auto engine = makeEngine();
  Recorder first;
  const ScanResult cold = scanFolder(*engine, first);
  ASSERT_EQ(cold.items.size(), 9u);
  EXPECT_EQ(cold.cacheHitCount, 0);
  EXPECT_FALSE(cold.isPartial);
  EXPECT_EQ(first.analyzingReports(), 9u);
  for (std::size_t i = 0; i < cold.items.size(); ++i) {
    EXPECT_TRUE(cold.items[i].feature.empty());
    if (i > 0) {
      EXPECT_LE(cold.items[i - 1].captureDate, cold.items[i].captureDate);
    }
  }
  EXPECT_EQ(engine->group(cold.items, 0.30f, GroupSort::date).size(), 3u);

  Recorder warm;
  const ScanResult again = scanFolder(*engine, warm);
  EXPECT_EQ(again.cacheHitCount, 9);
  EXPECT_EQ(warm.analyzingReports(), 0u);
  ASSERT_EQ(warm.batches.size(), 1u);
  EXPECT_EQ(warm.batches[0].size(), 9u);
  ASSERT_FALSE(warm.progress.empty());
  EXPECT_EQ(warm.progress.back().phase, ScanPhase::finishing);
  EXPECT_EQ(warm.progress.back().done, 9);
  EXPECT_EQ(warm.progress.back().eta, std::optional<double>(0.0));

  const auto changed = photos.file("b1.png");
  ASSERT_TRUE(testsupport::writeScene(changed, 7, 500, 400));
  testsupport::setModified(changed, 1'700'000'101);
  Recorder third;
  const ScanResult rescan = scanFolder(*engine, third);
  EXPECT_EQ(rescan.cacheHitCount, 8);
  EXPECT_EQ(third.analyzingReports(), 1u);
}

TEST_F(EngineTest, scanErrorsNameTheFolder) {
  auto engine = makeEngine();
  Recorder recorder;
  const auto empty =
      engine->scan({QUrl::fromLocalFile(QString::fromStdString(photos.path().string()))},
                   ScanOptions::defaults(), recorder.progressHandler());
  ASSERT_FALSE(empty.hasValue());
  EXPECT_EQ(empty.error().curator.kind, CuratorError::Kind::noImagesFound);
  const auto none = engine->scan({}, ScanOptions::defaults(), recorder.progressHandler());
  ASSERT_FALSE(none.hasValue());
  EXPECT_EQ(none.error().curator.url, QUrl::fromLocalFile("/"));
  const QUrl gone = QUrl::fromLocalFile(QString::fromStdString(photos.file("gone").string()));
  const auto missing = engine->scan({gone}, ScanOptions::defaults(), recorder.progressHandler());
  ASSERT_FALSE(missing.hasValue());
  // A folder that is not there holds no photos; it is not an unreadable one.
  EXPECT_EQ(missing.error().curator.kind, CuratorError::Kind::noImagesFound);
  EXPECT_EQ(missing.error().curator.url, gone);
}

TEST_F(EngineTest, pausedScanReturnsPartialAndResumeFindsThemCached) {
  writeDistinct("p", 10, 24, 1'700'000'000);
  auto engine = makeEngine();
  std::stop_source pause;
  std::atomic<int> analysed = 0;
  Recorder recorder;
  ScanOptions options;
  options.concurrency = 2;
  auto result = engine->scan(
      {QUrl::fromLocalFile(QString::fromStdString(photos.path().string()))}, options,
      [&](const ScanProgress &p) {
        if (p.phase == ScanPhase::analyzing && ++analysed == 4)
          pause.request_stop();
      },
      recorder.partialHandler(), pause.get_token());
  ASSERT_TRUE(result.hasValue());
  EXPECT_TRUE(result->isPartial);
  EXPECT_LT(result->items.size(), 24u);
  EXPECT_GE(result->items.size(), 4u);
  EXPECT_EQ(result->skippedCount, 24 - static_cast<std::int64_t>(result->items.size()));
  // None failed: every skipped photo is one the pause came before.
  EXPECT_EQ(result->unreachedCount, result->skippedCount);

  Recorder resumed;
  const ScanResult full = scanFolder(*engine, resumed);
  EXPECT_FALSE(full.isPartial);
  EXPECT_EQ(full.items.size(), 24u);
  EXPECT_EQ(full.unreachedCount, 0);
  EXPECT_EQ(full.cacheHitCount, static_cast<std::int64_t>(result->items.size()));
}

TEST_F(EngineTest, overlappingScansKeepTheirResultsApart) {
  testsupport::TempDir other;
  writeDistinct("slow", 40, 30, 1'700'000'000);
  for (int i = 0; i < 2; ++i) {
    const auto path = other.file("new" + std::to_string(i) + ".png");
    ASSERT_TRUE(testsupport::writeScene(path, 99, 640, 480));
    testsupport::setModified(path, 1'690'000'000 + i);
  }
  auto engine = makeEngine();
  std::stop_source stopOld;
  std::atomic<bool> started = false;
  Recorder oldScan;
  ScanOptions slow;
  slow.concurrency = 1;
  slow.checkpointEvery = 1;
  std::jthread first([&] {
    auto result = engine->scan(
        {QUrl::fromLocalFile(QString::fromStdString(photos.path().string()))}, slow,
        [&](const ScanProgress &p) { started = started || p.phase == ScanPhase::analyzing; },
        oldScan.partialHandler(), stopOld.get_token());
    EXPECT_TRUE(result.hasValue());
  });
  while (!started)
    std::this_thread::yield();

  Recorder newScan;
  auto newer =
      engine->scan({QUrl::fromLocalFile(QString::fromStdString(other.path().string()))},
                   ScanOptions::defaults(), newScan.progressHandler(), newScan.partialHandler());
  ASSERT_TRUE(newer.hasValue());
  const std::size_t oldBatchesAtSwitch = [&] {
    const std::scoped_lock guard(oldScan.mutex);
    return oldScan.batches.size();
  }();
  stopOld.request_stop();
  first.join();

  for (const auto &batch : newScan.batches) {
    for (const auto &item : batch) {
      EXPECT_NE(item.id.find("new"), std::string::npos) << item.id;
    }
  }
  EXPECT_EQ(oldScan.batches.size(), oldBatchesAtSwitch);
  // The superseded scan ended last, yet the newer scan's photos still group by reuse.
  const auto groups = engine->group(newer->items, 0.30f, GroupSort::date);
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(groups[0].count(), 2);
}

TEST_F(EngineTest, favouritesSurviveARescanAndInvalidateForgetsTheCache) {
  writeBurst("f", 4, 2, 1'700'000'000);
  auto engine = makeEngine();
  Recorder recorder;
  const ScanResult result = scanFolder(*engine, recorder);
  ASSERT_EQ(result.items.size(), 2u);
  ASSERT_TRUE(engine->setFavorite(result.items[0], true).hasValue());
  EXPECT_TRUE(engine->group(result.items, 0.3f, GroupSort::date)[0].items.size() == 2);

  auto reopened = makeEngine();
  Recorder again;
  const ScanResult rescan = scanFolder(*reopened, again);
  EXPECT_TRUE(rescan.items[0].id == result.items[0].id ? rescan.items[0].isFavorite
                                                       : rescan.items[1].isFavorite);
  reopened->invalidateCache();
  EXPECT_FALSE(fs::exists(cacheDir.file("analysis-cache.bin")));
  Recorder cold;
  EXPECT_EQ(scanFolder(*reopened, cold).cacheHitCount, 0);
}

TEST_F(EngineTest, featurelessListGroupsOnlyItsOwnPhotos) {
  writeBurst("a", 1, 3, 1'700'000'000);
  writeBurst("b", 2, 3, 1'700'000'100);
  auto engine = makeEngine();
  Recorder recorder;
  const ScanResult result = scanFolder(*engine, recorder);
  std::vector<PhotoItem> subset;
  for (const auto &item : result.items) {
    if (item.id.find("/a") != std::string::npos)
      subset.push_back(item);
  }
  subset.pop_back();
  const auto groups = engine->group(subset, 0.30f, GroupSort::date);
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(groups[0].count(), 2);
  for (const auto &item : groups[0].items) {
    EXPECT_NE(item.id.find("/a"), std::string::npos);
  }
  // The full list still reuses the scan's pairs afterwards.
  EXPECT_EQ(engine->group(result.items, 0.30f, GroupSort::date).size(), 2u);
}

TEST_F(EngineTest, scanWithoutAProgressHandlerStillRuns) {
  writeBurst("q", 3, 2, 1'700'000'000);
  auto engine = makeEngine();
  const auto result =
      engine->scan({QUrl::fromLocalFile(QString::fromStdString(photos.path().string()))},
                   ScanOptions::defaults(), {});
  ASSERT_TRUE(result.hasValue());
  EXPECT_EQ(result->items.size(), 2u);
}

TEST_F(EngineTest, aCapturedDateThatIsNotANumberCannotUnsortTheResult) {
  const auto paths = writeBurst("n", 5, 4, 1'700'000'000);
  auto engine = makeEngine();
  Recorder cold;
  ASSERT_EQ(scanFolder(*engine, cold).items.size(), 4u);
  // A damaged cache gives the photos capture dates out of file order, one not a number.
  AnalysisCache cache = AnalysisCache::load(engine->cacheFiles(), nullptr);
  const double dates[] = {10, 50, std::numeric_limits<double>::quiet_NaN(), 20};
  for (std::size_t i = 0; i < paths.size(); ++i) {
    CacheEntry entry = cache.entries().at(paths[i].string());
    entry.captureDate = Date{dates[i]};
    cache.put(entry, engine->cacheFiles().log);
  }

  Recorder warm;
  const ScanResult result = scanFolder(*engine, warm);
  ASSERT_EQ(result.cacheHitCount, 4);
  std::vector<double> order;
  for (const auto &item : result.items) {
    order.push_back(item.captureDate.secondsSince1970);
  }
  ASSERT_EQ(order.size(), 4u);
  EXPECT_EQ(order[0], 10);
  EXPECT_EQ(order[1], 20);
  EXPECT_EQ(order[2], 50);
  EXPECT_TRUE(std::isnan(order[3]));
}

// A reduced copy looks as good as its original once both are thumbnails; the size of the
// file's picture decides between them.
TEST_F(EngineTest, aCopyWithFewerPixelsLosesToItsOriginal) {
  for (const auto &[name, width] : {std::pair{"original.png", 1024}, std::pair{"copy.png", 320}}) {
    const auto path = photos.file(name);
    ASSERT_TRUE(testsupport::writeScene(path, 5, width, width * 3 / 4));
    testsupport::setModified(path, 1'700'000'000 + width);
  }
  auto engine = makeEngine();
  Recorder recorder;
  const ScanResult result = scanFolder(*engine, recorder);
  const auto groups = engine->group(result.items, 0.30f, GroupSort::date);
  ASSERT_EQ(groups.size(), 1u);
  ASSERT_TRUE(groups[0].best().has_value());
  EXPECT_EQ(fs::path(groups[0].best()->id).filename(), "original.png");
}
