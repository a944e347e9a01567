#pragma once

#include "app/info/InfoCenterView.h"
#include "app/store/AppStore.h"
#include "tests/info/support/HeldEngineClient.h"
#include "tests/store/support/ImageCacheTestSupport.h"
#include "tests/support/TempDir.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace infotest {

using imagecachetest::waitFor;

/// Sends one key press and release to `target`, as the keyboard would.
inline void pressKey(QWidget *target, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers);
  QCoreApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers);
  QCoreApplication::sendEvent(target, &release);
}

/// The real store over the real engine, its cache files in a temporary folder, with fresh
/// user defaults and the Chinese string table installed.
class InfoFixture : public ::testing::Test {
protected:
  InfoFixture();
  ~InfoFixture() override;

  lumora::AppStore &store() { return *m_store; }
  HeldEngineClient &engine() { return *m_engine; }
  /// The engine's base cache file.
  [[nodiscard]] std::filesystem::path cacheFile() const;
  /// Where `fillCache` writes its photos.
  [[nodiscard]] std::filesystem::path photosFolder() const;
  /// Writes a small cache into the engine's files by scanning a few generated photos.
  void fillCache();

  /// The sheet's content on `tab`, shown; exports answer with `nextExport`.
  std::unique_ptr<lumora::InfoCenterView> makeView(lumora::AppStoreTypes::InfoTab tab);

  testsupport::TempDir temp;
  /// The store's folder picker; none answers a cancel.
  lumora::AppStore::FolderPicker pickFolder;
  /// What the injected save dialog answers: a path, or none for a cancel.
  std::optional<QString> nextExport;
  int exportDialogs = 0;

private:
  std::shared_ptr<HeldEngineClient> m_engine;
  std::unique_ptr<lumora::AppStore> m_store;
};

} // namespace infotest
