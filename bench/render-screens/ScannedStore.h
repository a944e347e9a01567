#pragma once

#include "app/store/AppStore.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace renderscreens {

/// A store over the real engine that has scanned a folder of photographs, with every file
/// the application would write (cache, favourites, settings, log) in a throw-away folder.
/// The first one made points the data, settings and cache folders of the whole process
/// there, before anything has read them. GUI thread.
class ScannedStore {
public:
  /// Scans `photosDir` and waits (up to five minutes) for the ready phase.
  explicit ScannedStore(const QString &photosDir);
  ~ScannedStore();

  [[nodiscard]] bool isReady() const;
  [[nodiscard]] lumora::AppStore &store() { return *m_store; }
  /// Runs the event loop until `done` holds or `timeoutMs` passed; true when it held.
  static bool waitFor(const std::function<bool()> &done, int timeoutMs = 10000);

private:
  QTemporaryDir m_data;
  std::unique_ptr<lumora::AppStore> m_store;
};

} // namespace renderscreens
