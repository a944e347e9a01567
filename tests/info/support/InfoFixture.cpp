#include "tests/info/support/InfoFixture.h"

#include "app/store/texts/Localized.h"
#include "app/store/services/UserDefaults.h"
#include "engine/core/LumoraEngine.h"
#include "tests/support/ImageFixtures.h"

namespace infotest {

InfoFixture::InfoFixture() {
  lumora::Localized::installTranslations();
  lumora::UserDefaults::open().clear();
  auto engine = std::make_shared<lumora::LumoraEngine>(QString::fromStdString(cacheFile().string()),
                                                       lumora::EngineServices{.library = nullptr});
  m_engine = std::make_shared<HeldEngineClient>(engine);
  lumora::AppStore::Services services;
  services.engine = m_engine;
  services.qaMarkerDirectory = QString::fromStdString(temp.path().string());
  services.pickFolder = [](const lumora::FolderPickerRequest &,
                           std::function<void(std::optional<QUrl>)> done) { done(std::nullopt); };
  m_store = std::make_unique<lumora::AppStore>(std::move(services));
}

InfoFixture::~InfoFixture() {
  m_engine->release();
  m_store.reset();
}

std::filesystem::path InfoFixture::cacheFile() const { return temp.path() / "analysis-cache.bin"; }

void InfoFixture::fillCache() {
  const std::filesystem::path photos = temp.path() / "photos";
  std::filesystem::create_directories(photos);
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(testsupport::writeScene(photos / ("p" + std::to_string(i) + ".png"), i));
  }
  const auto scanned =
      m_engine->scanFolder(QUrl::fromLocalFile(QString::fromStdString(photos.string())),
                           lumora::ScanOptions{}, [](const lumora::ScanProgress &) {}, {}, {});
  ASSERT_TRUE(scanned.hasValue());
  ASSERT_TRUE(std::filesystem::exists(cacheFile()));
}

} // namespace infotest
