#include "engine/core/LumoraEngine.h"
#include "engine/library/PhotoLibrarySource.h"
#include "platform/core/photolibrary/PhotoAuthorization.h"
#include "tests/engine/library/LibraryTestEnvironment.h"

#include <gtest/gtest.h>
#include <mutex>

using namespace lumora;

namespace {

class EngineLibraryTest : public testsupport::LibraryTestEnvironment {
protected:
  testsupport::TempDir cacheDir;

  /// Adds scene `seed` as a library photo created at `created`.
  std::string addScene(int seed, double created, const std::string &name) {
    const auto source = m_dir.file(name);
    EXPECT_TRUE(testsupport::writeScene(source, seed, 640, 480));
    platform::NewAsset asset{source, std::nullopt, platform::MediaType::image,
                             false,  created,      created};
    auto added = library()->addAsset(asset);
    EXPECT_TRUE(added.hasValue());
    return added ? added->localIdentifier : std::string();
  }

  void grant(platform::AuthorizationStatus status = platform::AuthorizationStatus::authorized) {
    ASSERT_TRUE(platform::photoauthorization::setStatus(location(), status).hasValue());
  }

  std::unique_ptr<LumoraEngine> makeEngine() {
    return std::make_unique<LumoraEngine>(
        QString::fromStdString(cacheDir.file("analysis-cache.bin").string()));
  }

  static Expected<ScanResult, EngineError> scan(LumoraEngine &engine, int *analysing = nullptr,
                                                int *partialCalls = nullptr) {
    auto counter = std::make_shared<std::mutex>();
    return engine.scanLibrary(
        ScanOptions::defaults(),
        [=](const ScanProgress &p) {
          const std::scoped_lock guard(*counter);
          if (analysing && p.phase == ScanPhase::analyzing)
            ++*analysing;
        },
        [=](const std::vector<PhotoItem> &) {
          if (partialCalls)
            ++*partialCalls;
        });
  }
};

} // namespace

TEST_F(EngineLibraryTest, accessIsCheckedBeforeAnythingAndAnEmptyLibrarySaysSo) {
  auto engine = makeEngine();
  const auto denied = scan(*engine);
  ASSERT_FALSE(denied.hasValue());
  EXPECT_EQ(denied.error().library, EngineError::LibraryKind::denied);
  grant(platform::AuthorizationStatus::limited);
  const auto empty = scan(*engine);
  ASSERT_FALSE(empty.hasValue());
  EXPECT_EQ(empty.error().library, EngineError::LibraryKind::empty);
}

TEST_F(EngineLibraryTest, theLibraryIsReachedOnlyThroughTheEnginesServices) {
  const auto id = addScene(1, 1'700'000'000, "IMG_0001.JPG");
  LumoraEngine without(QString::fromStdString(cacheDir.file("none.bin").string()),
                       EngineServices{.library = nullptr});
  EXPECT_FALSE(without.requestLibraryAuthorization());
  EXPECT_FALSE(without.libraryThumbnail(id, 160));
  const auto refused = scan(without);
  ASSERT_FALSE(refused.hasValue());
  EXPECT_EQ(refused.error().library, EngineError::LibraryKind::denied);

  auto engine = makeEngine();
  EXPECT_TRUE(engine->requestLibraryAuthorization()); // nothing decided yet: granted
  const auto thumbnail = engine->libraryThumbnail(id, 160);
  ASSERT_TRUE(thumbnail);
  EXPECT_LE(std::max(thumbnail->width, thumbnail->height), 160);
  EXPECT_GT(thumbnail->width, 0);
  EXPECT_TRUE(scan(*engine).hasValue());
}

TEST_F(EngineLibraryTest, rescanHitsTheCacheAndDeletionGoesToRecentlyDeleted) {
  grant();
  const auto a = addScene(1, 1'700'000'000, "IMG_0001.JPG");
  const auto b = addScene(1, 1'700'000'002, "IMG_0002.JPG");
  const auto c = addScene(5, 1'700'000'004, "IMG_0003.JPG");
  auto engine = makeEngine();
  int analysing = 0;
  const auto first = scan(*engine, &analysing);
  ASSERT_TRUE(first.hasValue());
  ASSERT_EQ(first->items.size(), 3u);
  EXPECT_EQ(analysing, 3);
  EXPECT_EQ(first->items[0].id, "lib:" + a);
  EXPECT_EQ(first->items[0].fileSize, 0);
  EXPECT_EQ(first->items[0].captureDate, Date{1'700'000'000});

  int again = 0;
  int partialCalls = 0;
  const auto second = scan(*engine, &again, &partialCalls);
  ASSERT_TRUE(second.hasValue());
  EXPECT_EQ(second->cacheHitCount, 3);
  EXPECT_EQ(again, 0);
  EXPECT_EQ(partialCalls, 1);

  const auto groups = engine->group(second->items, 0.30f, GroupSort::date);
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(engine->displayName(groups[0].items[0]).startsWith("IMG_000"), true);
  ASSERT_TRUE(engine->setFavorite(second->items[2], true).hasValue());

  const DeleteOutcome outcome = engine->deleteItems({groups[0].items[1]});
  ASSERT_FALSE(outcome.error.has_value());
  EXPECT_FALSE(outcome.receipt.canUndo());
  EXPECT_EQ(outcome.receipt.libraryItemCount, 1);

  // Both changes are in the catalogue, as a restart would see it.
  const auto remaining = PhotoLibrarySource::fetchAll();
  ASSERT_TRUE(remaining.hasValue());
  ASSERT_EQ(remaining->size(), 2u);
  for (const auto &asset : remaining.value()) {
    EXPECT_EQ(asset.isFavorite, asset.localIdentifier == c);
  }
  (void)b;
}

TEST_F(EngineLibraryTest, aScanWithoutAProgressHandlerStillRuns) {
  grant();
  addScene(2, 1'700'000'000, "IMG_0001.JPG");
  auto engine = makeEngine();
  const auto result = engine->scanLibrary(ScanOptions::defaults(), {});
  ASSERT_TRUE(result.hasValue());
  EXPECT_EQ(result->items.size(), 1u);
}
