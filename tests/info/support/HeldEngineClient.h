#pragma once

#include "app/store/services/LumoraEngineClient.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace infotest {

/// The real engine behind the store (every call is passed on), except that cache clearing
/// can be held at a gate, so a test sees the sheet while the clearing runs. A held call
/// gives up after 20 s, so a failing test ends instead of hanging in the store's destructor.
class HeldEngineClient : public lumora::EngineClient {
public:
  using CallError = lumora::EngineCallError;
  explicit HeldEngineClient(std::shared_ptr<lumora::LumoraEngine> engine)
      : m_real(std::move(engine)) {}

  lumora::Expected<lumora::ScanResult, CallError>
  scanFolder(const QUrl &folder, const lumora::ScanOptions &options, ProgressHandler progress,
             PartialHandler partial, std::stop_token stop) override {
    return m_real.scanFolder(folder, options, std::move(progress), std::move(partial), stop);
  }
  lumora::Expected<lumora::ScanResult, CallError> scanLibrary(const lumora::ScanOptions &options,
                                                              ProgressHandler progress,
                                                              PartialHandler partial,
                                                              std::stop_token stop) override {
    return m_real.scanLibrary(options, std::move(progress), std::move(partial), stop);
  }
  bool requestLibraryAuthorization() override { return m_real.requestLibraryAuthorization(); }
  std::vector<lumora::PhotoGroup> group(const std::vector<lumora::PhotoItem> &items,
                                        float threshold, lumora::GroupSort sort) override {
    return m_real.group(items, threshold, sort);
  }
  lumora::Expected<bool, CallError> setFavorite(const lumora::PhotoItem &item,
                                                bool favorite) override {
    return m_real.setFavorite(item, favorite);
  }
  QImage previewImage(const lumora::PhotoItem &item, int maxPixel) override {
    return m_real.previewImage(item, maxPixel);
  }
  QImage libraryThumbnail(const std::string &localIdentifier, int maxPixel) override {
    return m_real.libraryThumbnail(localIdentifier, maxPixel);
  }
  QString displayName(const lumora::PhotoItem &item) override { return m_real.displayName(item); }
  lumora::DeleteOutcome deleteItems(const std::vector<lumora::PhotoItem> &items) override {
    return m_real.deleteItems(items);
  }
  lumora::Expected<std::int64_t, CallError>
  undoDelete(const lumora::DeleteReceipt &receipt) override {
    return m_real.undoDelete(receipt);
  }

  void invalidateCache() override {
    {
      std::unique_lock lock(m_mutex);
      ++m_started;
      m_released.wait_for(lock, std::chrono::seconds(20), [this] { return !m_held; });
    }
    m_real.invalidateCache();
    const std::scoped_lock lock(m_mutex);
    ++m_done;
  }

  /// From now on clearing waits until `release()`.
  void hold() { setHeld(true); }
  void release() { setHeld(false); }
  /// Clearings that have started, held or not; clearings that reached the engine.
  [[nodiscard]] int clearingsStarted() const { return counted(m_started); }
  [[nodiscard]] int clearingsDone() const { return counted(m_done); }

private:
  void setHeld(bool held) {
    const std::scoped_lock lock(m_mutex);
    m_held = held;
    m_released.notify_all();
  }
  int counted(const int &count) const {
    const std::scoped_lock lock(m_mutex);
    return count;
  }

  lumora::LumoraEngineClient m_real;
  mutable std::mutex m_mutex;
  std::condition_variable m_released;
  bool m_held = false;
  int m_started = 0;
  int m_done = 0;
};

} // namespace infotest
