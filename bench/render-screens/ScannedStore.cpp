#include "ScannedStore.h"

#include "app/store/services/LumoraEngineClient.h"
#include "app/store/texts/Localized.h"
#include "engine/core/LumoraEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdio>

namespace renderscreens {
namespace {

// Once per process, before the first engine or settings object reads them.
void isolateDataFolders(const QString &root) {
  static bool done = false;
  if (done) {
    return;
  }
  done = true;
  for (const char *name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"}) {
    qputenv(name, (root + QLatin1Char('/') + QLatin1String(name)).toUtf8());
  }
  qputenv("LUMORA_PHOTO_LIBRARY", (root + QStringLiteral("/PhotoLibrary")).toUtf8());
}

} // namespace

ScannedStore::ScannedStore(const QString &photosDir) {
  isolateDataFolders(m_data.path());
  lumora::localized::installTranslations();
  auto engine = std::make_shared<lumora::LumoraEngine>(m_data.filePath("analysis-cache.bin"));
  lumora::AppStore::Services services;
  services.engine = std::make_shared<lumora::LumoraEngineClient>(engine);
  services.qaMarkerDirectory = m_data.path();
  services.pickFolder = [photosDir](const lumora::FolderPickerRequest &,
                                    std::function<void(std::optional<QUrl>)> done) {
    done(QUrl::fromLocalFile(photosDir));
  };
  m_store = std::make_unique<lumora::AppStore>(std::move(services));
  m_store->chooseFolder();
  if (!waitFor([this] { return isReady(); }, 300000)) {
    std::fprintf(stderr, "render-screens: the scan of %s did not finish\n", qPrintable(photosDir));
  }
}

ScannedStore::~ScannedStore() = default;

bool ScannedStore::isReady() const { return m_store->phase() == lumora::AppStore::Phase::ready(); }

bool ScannedStore::waitFor(const std::function<bool()> &done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeoutMs) {
      return false;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(2);
  }
  return true;
}

} // namespace renderscreens
