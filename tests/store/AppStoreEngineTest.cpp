// The store over the real engine: scans of generated photos, end to end.
#include "app/store/AppStore.h"
#include "app/store/Localized.h"
#include "app/store/LumoraEngineClient.h"
#include "app/store/UserDefaults.h"
#include "engine/core/LumoraEngine.h"
#include "tests/store/support/StoreTestSupport.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using namespace lumora;
using namespace storetest;
namespace fs = std::filesystem;

class AppStoreWithEngine : public ::testing::Test {
protected:
  AppStoreWithEngine() {
    Localized::installTranslations();
    UserDefaults::open().clear();
    fs::create_directories(m_photos);
    auto engine = std::make_shared<LumoraEngine>(
        QString::fromStdString(m_temp.file("analysis-cache.bin").string()));
    AppStore::Services services;
    services.engine = std::make_shared<LumoraEngineClient>(engine);
    services.qaMarkerDirectory = QString::fromStdString(m_temp.path().string());
    services.pickFolder = [this](const FolderPickerRequest &,
                                 std::function<void(std::optional<QUrl>)> done) {
      done(QUrl::fromLocalFile(QString::fromStdString(m_photos.string())));
    };
    m_store = std::make_unique<AppStore>(std::move(services));
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

  bool waitForReady() {
    return waitFor([this] { return m_store->phase() == AppStore::Phase::ready(); }, 60000);
  }

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
