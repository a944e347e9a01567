#pragma once

#include "app/detail/GroupDetailView.h"
#include "app/detail/PhotoPreviewView.h"
#include "app/store/AppStore.h"
#include "app/store/AppStoreStateAccess.h"
#include "app/store/services/UserDefaults.h"
#include "app/store/texts/Localized.h"
#include "platform/gui/ReduceMotion.h"
#include "tests/detail/support/DetailEngineClient.h"
#include "tests/store/support/FakeEngineClient.h"
#include "tests/store/support/StoreTestSupport.h"
#include "tests/support/TempDir.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace detailtest {

using storetest::spin;
using storetest::waitFor;

/// A store over the hand-driven detail engine, put straight into a ready state, and one
/// active window that hosts the detail and, above it, the preview as the root view does.
class DetailFixture : public ::testing::Test {
protected:
  DetailFixture() {
    lumora::localized::installTranslations();
    lumora::userdefaults::open().clear();
    platform::setReduceMotionOverride(false);
    host.resize(1150, 780);
  }
  ~DetailFixture() override {
    preview.reset();
    detail.reset();
    platform::setReduceMotionOverride(std::nullopt);
  }

  /// `count` photos of one scene (same capture time), named /p/<prefix>0 …, best first.
  static std::vector<lumora::PhotoItem> burst(const std::string &prefix, int count, double captured,
                                              std::int64_t size = 1000) {
    std::vector<lumora::PhotoItem> items;
    for (int i = 0; i < count; ++i) {
      lumora::PhotoItem item =
          storetest::photo("/p/" + prefix + std::to_string(i) + ".jpg", size, captured);
      item.score = 0.6f - 0.1f * static_cast<float>(i);
      items.push_back(item);
    }
    return items;
  }

  lumora::AppStore &store() {
    if (!m_store) {
      lumora::AppStore::Services services;
      services.engine = engine;
      services.qaMarkerDirectory = QString::fromStdString(m_qaDir.path().string());
      m_store = std::make_unique<lumora::AppStore>(std::move(services));
    }
    return *m_store;
  }

  /// The store's photos and their groups, as a finished scan of `source` would leave them.
  void setScene(std::vector<lumora::PhotoItem> items,
                lumora::AppStore::SourceKind source = lumora::AppStore::SourceKind::folder) {
    lumora::AppStore::StateAccess state(store());
    state.setSourceKind(source);
    state.setGroups(storetest::groupBySameCaptureTime(items));
    state.setItems(std::move(items));
    state.setPhase(lumora::AppStore::Phase::ready());
  }

  [[nodiscard]] lumora::PhotoGroup groupWith(const std::string &id) {
    return store().group(id).value_or(lumora::PhotoGroup{});
  }

  /// The detail of `groupID` filling the active host window.
  lumora::GroupDetailView &showDetail(const std::string &groupID) {
    store().openDetail(groupWith(groupID));
    detail = std::make_unique<lumora::GroupDetailView>(store(), groupID, nullptr, &host);
    detail->setGeometry(host.rect());
    showHost();
    spin(20);
    return *detail;
  }

  /// The preview over the detail (or alone), once the store has a preview context.
  lumora::PhotoPreviewView &showPreview() {
    preview = std::make_unique<lumora::PhotoPreviewView>(store(), &host);
    preview->setGeometry(host.rect());
    preview->show();
    preview->raise();
    showHost();
    return *preview;
  }

  void showHost() {
    host.show();
    host.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&host));
  }

  std::shared_ptr<DetailEngineClient> engine = std::make_shared<DetailEngineClient>();
  QWidget host;
  std::unique_ptr<lumora::GroupDetailView> detail;
  std::unique_ptr<lumora::PhotoPreviewView> preview;

private:
  testsupport::TempDir m_qaDir;
  std::unique_ptr<lumora::AppStore> m_store;
};

} // namespace detailtest
