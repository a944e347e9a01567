// The store over the real engine: scans of generated photos, end to end.
#include "platform/core/photolibrary/PhotoAuthorization.h"
#include "tests/engine/library/LibraryTestEnvironment.h"
#include "tests/store/support/EngineStoreFixture.h"
#include "tests/support/FileSizeLimit.h"

using namespace lumora;
using namespace storetest;
namespace fs = std::filesystem;

using AppStoreWithEngine = EngineStoreFixture;

TEST_F(AppStoreWithEngine, aFolderScanEndsReadyWithTheSimilarShotsGrouped) {
  writeBurst("beach-", 1, 3, 1'700'000'000);
  writeBurst("forest-", 7, 2, 1'700'003'600);
  writeBurst("city-", 13, 1, 1'700'007'200);
  store().chooseFolder();
  ASSERT_TRUE(waitForReady());
  EXPECT_FALSE(store().isPaused());
  EXPECT_EQ(store().items().size(), 6u);
  ASSERT_EQ(store().groups().size(), 2u);
  EXPECT_EQ(store().groups()[0].count() + store().groups()[1].count(), 5);
  EXPECT_EQ(store().lastResult()->cacheHitCount, 0);

  // A stricter threshold regroups over the pairs the scan measured.
  store().setThreshold(0.18f);
  ASSERT_TRUE(waitFor([&] { return !store().isRegrouping(); }));
  EXPECT_EQ(store().groups().size(), 2u);
}

TEST_F(AppStoreWithEngine, aFavouriteTheFullDiskCannotKeepIsReportedAndLeftUnmarked) {
  const PhotoItem item = photo((photosFolder() / "a.jpg").string());
  std::optional<bool> state;
  {
    const testsupport::FileSizeLimit full(8);
    store().toggleFavorite(item, [&state](bool now) { state = now; });
    ASSERT_TRUE(waitFor([&] { return state.has_value(); }));
  }
  EXPECT_EQ(state, false);
  ASSERT_TRUE(store().alert());
  EXPECT_EQ(store().alert()->title, QStringLiteral("收藏没能保存"));
  EXPECT_TRUE(
      store().alert()->message.startsWith(QStringLiteral("磁盘空间已满，收藏没能写入。\n\n")))
      << store().alert()->message.toStdString();
  EXPECT_TRUE(FavoriteStore::load().ids().empty());
}

TEST_F(AppStoreWithEngine, resumeTurnsThePhotosAnalysedBeforeThePauseIntoCacheHits) {
  constexpr int kPhotos = 96;
  for (int i = 0; i < kPhotos; ++i) {
    writeBurst("p" + std::to_string(i) + "-", i, 1, 1'700'000'000 + 60.0 * i, 320, 240);
  }
  store().chooseFolder();
  ASSERT_TRUE(waitFor(
      [&] {
        const auto &progress = store().progress();
        return progress && progress->phase == ScanPhase::analyzing && progress->done >= 4;
      },
      60000));
  store().requestPause();
  ASSERT_TRUE(waitForReady());
  ASSERT_TRUE(store().isPaused());
  const auto analysed = static_cast<std::int64_t>(store().items().size());
  ASSERT_GT(analysed, 0);
  ASSERT_LT(analysed, kPhotos);

  store().resumeScan();
  ASSERT_TRUE(waitForReady());
  EXPECT_FALSE(store().isPaused());
  EXPECT_EQ(store().items().size(), static_cast<std::size_t>(kPhotos));
  EXPECT_GE(store().lastResult()->cacheHitCount, analysed);
}

class AppStoreWithLibrary : public testsupport::LibraryTestEnvironment {
protected:
  void SetUp() override {
    LibraryTestEnvironment::SetUp();
    m_store = makeEngineStore(m_dir.path(), m_dir.path());
  }
  void TearDown() override {
    m_store.reset();
    LibraryTestEnvironment::TearDown();
  }
  void addScene(int seed, double created) {
    const fs::path source = m_dir.file("scene-" + std::to_string(++m_added) + ".jpg");
    ASSERT_TRUE(testsupport::writeScene(source, seed, 320, 240));
    ASSERT_TRUE(library()->addAsset(
        {source, std::nullopt, platform::MediaType::image, false, created, created}));
  }

  std::unique_ptr<AppStore> m_store;
  int m_added = 0;
};

TEST_F(AppStoreWithLibrary, aDeniedLibraryFailsAndAGrantedOneIsScannedAndGrouped) {
  ASSERT_TRUE(
      platform::photoauthorization::setStatus(location(), platform::AuthorizationStatus::denied));
  m_store->openLibrary();
  ASSERT_TRUE(waitForPhase(*m_store, AppStore::Phase::Kind::failed));
  EXPECT_EQ(m_store->phase().failure.kind, AppStore::Failure::Kind::libraryDenied);
  EXPECT_TRUE(m_store->alert()->showsSettingsButton);

  addScene(5, 1'700'000'000);
  addScene(5, 1'700'000'002);
  addScene(9, 1'700'090'000);
  ASSERT_TRUE(platform::photoauthorization::setStatus(location(),
                                                      platform::AuthorizationStatus::authorized));
  m_store->retry();
  ASSERT_TRUE(waitForPhase(*m_store, AppStore::Phase::Kind::ready));
  EXPECT_EQ(m_store->sourceKind(), AppStore::SourceKind::library);
  EXPECT_EQ(m_store->items().size(), 3u);
  ASSERT_EQ(m_store->groups().size(), 1u);
  EXPECT_TRUE(m_store->groups()[0].items[0].isFromLibrary());
}
