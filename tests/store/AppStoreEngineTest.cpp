// The store over the real engine: scans of generated photos, end to end.
#include "app/store/AppStore.h"
#include "app/store/Localized.h"
#include "app/store/LumoraEngineClient.h"
#include "app/store/UserDefaults.h"
#include "engine/core/LumoraEngine.h"
#include "tests/store/support/StoreTestSupport.h"
#include "platform/core/photolibrary/PhotoAuthorization.h"
#include "tests/engine/library/LibraryTestEnvironment.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using namespace lumora;
using namespace storetest;
namespace fs = std::filesystem;

namespace {

/// A store over a real engine whose cache and QA markers live in `folder`; its folder
/// picker always chooses `photos`.
std::unique_ptr<AppStore> makeStore(const fs::path &folder, const fs::path &photos) {
  Localized::installTranslations();
  UserDefaults::open().clear();
  auto engine = std::make_shared<LumoraEngine>(
      QString::fromStdString((folder / "analysis-cache.bin").string()));
  AppStore::Services services;
  services.engine = std::make_shared<LumoraEngineClient>(engine);
  services.qaMarkerDirectory = QString::fromStdString(folder.string());
  services.pickFolder = [photos](const FolderPickerRequest &,
                                 std::function<void(std::optional<QUrl>)> done) {
    done(QUrl::fromLocalFile(QString::fromStdString(photos.string())));
  };
  return std::make_unique<AppStore>(std::move(services));
}

bool waitForPhase(const AppStore &store, AppStore::Phase::Kind kind) {
  return waitFor([&] { return store.phase().kind == kind; }, 60000);
}

} // namespace

class AppStoreWithEngine : public ::testing::Test {
protected:
  AppStoreWithEngine() {
    fs::create_directories(m_photos);
    m_store = makeStore(m_temp.path(), m_photos);
  }

  /// `count` shots of scene `seed`, one second apart from `start`.
  void writeBurst(const std::string &prefix, int seed, int count, double start, int width = 640,
                  int height = 480) {
    for (int i = 0; i < count; ++i) {
      const fs::path path = m_photos / (prefix + std::to_string(i) + ".png");
      ASSERT_TRUE(testsupport::writeScene(path, seed, width, height));
      testsupport::setModified(path, start + i);
    }
  }

  bool waitForReady() { return waitForPhase(*m_store, AppStore::Phase::Kind::ready); }

  AppStore &store() { return *m_store; }

private:
  testsupport::TempDir m_temp;
  fs::path m_photos = m_temp.path() / "photos";
  std::unique_ptr<AppStore> m_store;
};

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

TEST_F(AppStoreWithEngine, resumeTurnsThePhotosAnalysedBeforeThePauseIntoCacheHits) {
  constexpr int kPhotos = 96;
  for (int i = 0; i < kPhotos; ++i) {
    writeBurst("p" + std::to_string(i) + "-", i, 1, 1'700'000'000 + 60.0 * i, 320, 240);
  }
  store().chooseFolder();
  ASSERT_TRUE(waitFor([&] {
    const auto &progress = store().progress();
    return progress && progress->phase == ScanPhase::analyzing && progress->done >= 4;
  }, 60000));
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
    m_store = makeStore(m_dir.path(), m_dir.path());
  }
  void TearDown() override {
    m_store.reset();
    LibraryTestEnvironment::TearDown();
  }
  void addScene(int seed, double created) {
    const fs::path source = m_dir.file("scene-" + std::to_string(++m_added) + ".jpg");
    ASSERT_TRUE(testsupport::writeScene(source, seed, 320, 240));
    ASSERT_TRUE(library()->addAsset({source, std::nullopt, platform::MediaType::image, false,
                                     created, created}));
  }

  std::unique_ptr<AppStore> m_store;
  int m_added = 0;
};

TEST_F(AppStoreWithLibrary, aDeniedLibraryFailsAndAGrantedOneIsScannedAndGrouped) {
  ASSERT_TRUE(platform::photoauthorization::setStatus(location(), platform::AuthorizationStatus::denied));
  m_store->openLibrary();
  ASSERT_TRUE(waitForPhase(*m_store, AppStore::Phase::Kind::failed));
  EXPECT_EQ(m_store->phase().failure.kind, AppStore::Failure::Kind::libraryDenied);
  EXPECT_TRUE(m_store->alert()->showsSettingsButton);

  addScene(5, 1'700'000'000);
  addScene(5, 1'700'000'002);
  addScene(9, 1'700'090'000);
  ASSERT_TRUE(platform::photoauthorization::setStatus(location(), platform::AuthorizationStatus::authorized));
  m_store->retry();
  ASSERT_TRUE(waitForPhase(*m_store, AppStore::Phase::Kind::ready));
  EXPECT_EQ(m_store->sourceKind(), AppStore::SourceKind::library);
  EXPECT_EQ(m_store->items().size(), 3u);
  ASSERT_EQ(m_store->groups().size(), 1u);
  EXPECT_TRUE(m_store->groups()[0].items[0].isFromLibrary());
}
