#pragma once

#include "tests/store/support/RemovalEngineClient.h"
#include "tests/store/support/StoreFixture.h"

#include <filesystem>

namespace storetest {

/// A store over the removal engine, brought to the ready phase by a finished scan.
class RemovalFixture : public StoreFixture {
protected:
  RemovalFixture() { engine = removal; }

  /// Photos /p/a0–a2 (one group), /p/b0–b1 (another) and /p/c (alone).
  static std::vector<lumora::PhotoItem> scene() {
    return {photo("/p/a0", 10, 100), photo("/p/a1", 10, 100), photo("/p/a2", 10, 100),
            photo("/p/b0", 10, 200), photo("/p/b1", 10, 200), photo("/p/c", 10, 300)};
  }

  /// A finished folder scan of `items`.
  void finishFolderScan(std::vector<lumora::PhotoItem> items) {
    const std::filesystem::path folder = m_temp.path() / "photos";
    std::filesystem::create_directories(folder);
    pickedFolder = QUrl::fromLocalFile(QString::fromStdString(folder.string()));
    const int index = engine->scanCount();
    store().chooseFolder();
    finishScan(index, std::move(items));
  }

  /// A finished library scan of `items`.
  void finishLibraryScan(std::vector<lumora::PhotoItem> items) {
    const int index = engine->scanCount();
    store().openLibrary();
    finishScan(index, std::move(items));
  }

  [[nodiscard]] lumora::PhotoGroup groupWith(const std::string &id) {
    const std::optional<lumora::PhotoGroup> found = store().group(id);
    EXPECT_TRUE(found.has_value()) << id;
    return found.value_or(lumora::PhotoGroup{});
  }

  [[nodiscard]] std::vector<std::string> itemIDs() {
    std::vector<std::string> ids;
    for (const lumora::PhotoItem &item : store().items()) {
      ids.push_back(item.id);
    }
    return ids;
  }

  /// Waits until no group clean-up is in flight.
  bool waitForCleanup() {
    return waitFor([this] { return !store().cleaningGroupID(); });
  }

  std::shared_ptr<RemovalEngineClient> removal = std::make_shared<RemovalEngineClient>();

private:
  /// Finishes scan `index`, counted before the action that started it: the scan may reach
  /// the engine on its worker before the action returns.
  void finishScan(int index, std::vector<lumora::PhotoItem> items) {
    ASSERT_TRUE(engine->waitForScans(index + 1));
    engine->finish(index, resultOf(std::move(items)));
    ASSERT_TRUE(waitFor([this] { return store().phase() == lumora::AppStore::Phase::ready(); }));
  }

  testsupport::TempDir m_temp;
};

} // namespace storetest
