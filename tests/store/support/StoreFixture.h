#pragma once

#include "app/store/AppStore.h"
#include "app/store/AppStoreStateAccess.h"
#include "app/store/services/UserDefaults.h"
#include "app/store/texts/Localized.h"
#include "tests/store/support/FakeEngineClient.h"
#include "tests/store/support/StoreTestSupport.h"
#include "tests/support/TempDir.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace storetest {

/// A store over a fake engine, with fresh user defaults, its QA markers in a temporary
/// folder, a recording settings opener and a folder picker that answers from `pickedFolder`.
class StoreFixture : public ::testing::Test {
protected:
  StoreFixture() {
    lumora::localized::installTranslations();
    lumora::userdefaults::open().clear();
  }

  [[nodiscard]] std::unique_ptr<lumora::AppStore> makeStore() {
    lumora::AppStore::Services services;
    services.engine = engine;
    services.qaMarkerDirectory = QString::fromStdString(qaDir.path().string());
    services.openSettingsTarget = [this](const QString &target) {
      openedTargets.append(target);
      return openableTargets.contains(target);
    };
    services.pickFolder = [this](const lumora::FolderPickerRequest &request,
                                 std::function<void(std::optional<QUrl>)> done) {
      pickerRequests.push_back(request);
      done(pickedFolder);
    };
    services.clock = [this] { return now; };
    return std::make_unique<lumora::AppStore>(std::move(services));
  }

  /// The store's state door, for putting it into states its actions reach only by scanning.
  lumora::AppStore::StateAccess state() { return lumora::AppStore::StateAccess(store()); }
  lumora::AppStore &store() {
    if (!m_store) {
      m_store = makeStore();
    }
    return *m_store;
  }

  /// Moves the store's clock on.
  void advance(std::chrono::milliseconds by) { now += by; }

  std::shared_ptr<FakeEngineClient> engine = std::make_shared<FakeEngineClient>();
  testsupport::TempDir qaDir;
  QStringList openedTargets;
  QStringList openableTargets;
  std::vector<lumora::FolderPickerRequest> pickerRequests;
  std::optional<QUrl> pickedFolder;
  std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now();

private:
  std::unique_ptr<lumora::AppStore> m_store;
};

} // namespace storetest
