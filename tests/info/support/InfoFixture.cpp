#include "tests/info/support/InfoFixture.h"

#include "app/store/services/UserDefaults.h"
#include "app/store/texts/Localized.h"
#include "engine/core/LumoraEngine.h"
#include "tests/support/ImageFixtures.h"

namespace infotest {

InfoFixture::InfoFixture() {
  lumora::localized::installTranslations();
  lumora::userdefaults::open().clear();
  auto engine = std::make_shared<lumora::LumoraEngine>(QString::fromStdString(cacheFile().string()),
                                                       lumora::EngineServices{.library = nullptr});
  m_engine = std::make_shared<HeldEngineClient>(engine);
  lumora::AppStore::Services services;
  services.engine = m_engine;
  services.qaMarkerDirectory = QString::fromStdString(temp.path().string());
  services.pickFolder = [this](const lumora::FolderPickerRequest &request,
                               std::function<void(std::optional<QUrl>)> done) {
    if (pickFolder) {
      pickFolder(request, std::move(done));
    } else {
      done(std::nullopt);
    }
  };
  m_store = std::make_unique<lumora::AppStore>(std::move(services));
}

InfoFixture::~InfoFixture() {
  m_engine->release();
  m_store.reset();
}

std::unique_ptr<lumora::InfoCenterView> InfoFixture::makeView(lumora::AppStoreTypes::InfoTab tab) {
  auto view = std::make_unique<lumora::InfoCenterView>(
      store(), tab, nullptr, [this](QWidget *, const lumora::DiagnosticsExporter::SaveRequest &) {
        ++exportDialogs;
        return nextExport;
      });
  view->show();
  return view;
}

std::filesystem::path InfoFixture::photosFolder() const { return temp.path() / "photos"; }

std::filesystem::path InfoFixture::cacheFile() const { return temp.path() / "analysis-cache.bin"; }

void InfoFixture::fillCache() {
  const std::filesystem::path photos = photosFolder();
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
