#pragma once

#include "app/store/AppStore.h"
#include "app/store/services/LumoraEngineClient.h"
#include "app/store/services/UserDefaults.h"
#include "app/store/texts/Localized.h"
#include "engine/core/LumoraEngine.h"
#include "tests/store/support/StoreTestSupport.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace storetest {

/// A store over a real engine whose cache and QA markers live in `folder`; its folder
/// picker always chooses `photos`.
inline std::unique_ptr<lumora::AppStore>
makeEngineStore(const std::filesystem::path &folder, const std::filesystem::path &photos,
                lumora::EngineServices engineServices = {}) {
  lumora::localized::installTranslations();
  lumora::userdefaults::open().clear();
  auto engine = std::make_shared<lumora::LumoraEngine>(
      QString::fromStdString((folder / "analysis-cache.bin").string()), std::move(engineServices));
  lumora::AppStore::Services services;
  services.engine = std::make_shared<lumora::LumoraEngineClient>(engine);
  services.qaMarkerDirectory = QString::fromStdString(folder.string());
  services.pickFolder = [photos](const lumora::FolderPickerRequest &,
                                 std::function<void(std::optional<QUrl>)> done) {
    done(QUrl::fromLocalFile(QString::fromStdString(photos.string())));
  };
  return std::make_unique<lumora::AppStore>(std::move(services));
}

inline bool waitForPhase(const lumora::AppStore &store, lumora::AppStore::Phase::Kind kind) {
  return waitFor([&] { return store.phase().kind == kind; }, 60000);
}

/// A store over a real engine and a folder of generated photos. The store is made on first
/// use, with the engine services the test has set by then.
class EngineStoreFixture : public ::testing::Test {
protected:
  EngineStoreFixture() { std::filesystem::create_directories(m_photos); }

  /// `count` shots of scene `seed`, one second apart from `start`.
  void writeBurst(const std::string &prefix, int seed, int count, double start, int width = 640,
                  int height = 480) {
    for (int i = 0; i < count; ++i) {
      const std::filesystem::path path = m_photos / (prefix + std::to_string(i) + ".png");
      ASSERT_TRUE(testsupport::writeScene(path, seed, width, height));
      testsupport::setModified(path, start + i);
    }
  }

  bool waitForReady() { return waitForPhase(store(), lumora::AppStore::Phase::Kind::ready); }

  lumora::AppStore &store() {
    if (!m_store) {
      m_store = makeEngineStore(m_temp.path(), m_photos, engineServices);
    }
    return *m_store;
  }

  [[nodiscard]] const std::filesystem::path &photosFolder() const { return m_photos; }

  lumora::EngineServices engineServices;

private:
  testsupport::TempDir m_temp;
  std::filesystem::path m_photos = m_temp.path() / "photos";
  std::unique_ptr<lumora::AppStore> m_store;
};

} // namespace storetest
