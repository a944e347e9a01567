#pragma once

#include "app/store/AppStore.h"
#include "app/store/AppStoreStateAccess.h"
#include "app/store/services/LumoraEngineClient.h"
#include "app/store/services/UserDefaults.h"
#include "app/store/texts/Localized.h"
#include "engine/core/LumoraEngine.h"
#include "harness/GatedEngineClient.h"
#include "tests/store/support/StoreTestSupport.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/TempDir.h"

#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace roottest {

using storetest::spin;
using storetest::waitFor;

/// The box's button with `title`, or null.
inline QPushButton *buttonTitled(QMessageBox *box, const QString &title) {
  for (QAbstractButton *button : box->buttons()) {
    if (button->text() == title) {
      return qobject_cast<QPushButton *>(button);
    }
  }
  return nullptr;
}

/// A real engine and store over a temporary data folder, with a folder picker that the
/// test steers and a settings opener that records the targets it was asked for.
struct StoreRig {
  testsupport::TempDir temp;
  std::filesystem::path photos = temp.path() / "photos";
  /// What the folder picker answers; empty: the user cancelled.
  QString pickedFolder;
  int pickerCalls = 0;
  QStringList settingsTargets;
  /// The engine's gate: scans run freely until a test arms a hold.
  std::shared_ptr<harness::GatedEngineClient> gate;
  /// Where the store's clock stands; none: it runs. Standing before the last live regroup,
  /// it lets no further batch of a scan regroup the live results.
  std::optional<std::chrono::steady_clock::time_point> clockStandsAt;
  std::unique_ptr<lumora::AppStore> store;

  StoreRig() {
    std::filesystem::create_directories(photos);
    pickedFolder = QString::fromStdString(photos.string());
    lumora::localized::installTranslations();
    lumora::userdefaults::open().clear();
    auto engine = std::make_shared<lumora::LumoraEngine>(
        QString::fromStdString((temp.path() / "analysis-cache.bin").string()));
    lumora::AppStore::Services services;
    gate = std::make_shared<harness::GatedEngineClient>(
        std::make_shared<lumora::LumoraEngineClient>(engine));
    services.engine = gate;
    services.qaMarkerDirectory = QString::fromStdString(temp.path().string());
    services.pickFolder = [this](const lumora::FolderPickerRequest &,
                                 std::function<void(std::optional<QUrl>)> done) {
      ++pickerCalls;
      done(pickedFolder.isEmpty() ? std::nullopt
                                  : std::optional<QUrl>(QUrl::fromLocalFile(pickedFolder)));
    };
    services.clock = [this] { return clockStandsAt.value_or(std::chrono::steady_clock::now()); };
    services.openSettingsTarget = [this](const QString &target) {
      settingsTargets << target;
      return true;
    };
    store = std::make_unique<lumora::AppStore>(std::move(services));
  }

  /// `count` shots of scene `seed`, one second apart, so that they group.
  void writeBurst(const std::string &prefix, int seed, int count, double start = 1.7e9) const {
    for (int i = 0; i < count; ++i) {
      const std::filesystem::path path = photos / (prefix + std::to_string(i) + ".png");
      testsupport::writeScene(path, seed, 480, 360);
      testsupport::setModified(path, start + i);
    }
  }

  [[nodiscard]] lumora::AppStore::StateAccess state() const {
    return lumora::AppStore::StateAccess(*store);
  }

  bool waitForPhase(lumora::AppStore::Phase::Kind kind, int timeoutMs = 60000) const {
    return waitFor([&] { return store->phase().kind == kind; }, timeoutMs);
  }
};

} // namespace roottest
