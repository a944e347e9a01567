#pragma once

#include "app/store/services/LumoraEngineClient.h"

#include <condition_variable>
#include <mutex>

namespace infotest {

/// The real engine behind the store (every call is passed on), except that cache clearing can be
/// held at a gate, so a test sees the sheet while the clearing runs. A held call gives up after 20
/// s, so a failing test ends instead of hanging in the store's destructor.
class HeldEngineClient : public lumora::EngineClient {
public:
  explicit HeldEngineClient(std::shared_ptr<lumora::LumoraEngine> engine)
      : m_real(std::move(engine)) {}

  [[nodiscard]] lumora::Expected<lumora::ScanResult, lumora::EngineCallError>
  scanFolder(const QUrl &folder, const lumora::ScanOptions &options, ProgressHandler progress,
             PartialHandler onPartial, std::stop_token stop) override {
    return m_real.scanFolder(folder, options, std::move(progress), std::move(onPartial), stop);
  }
  [[nodiscard]] lumora::Expected<lumora::ScanResult, lumora::EngineCallError>
  scanLibrary(const lumora::ScanOptions &options, ProgressHandler progress,
              PartialHandler onPartial, std::stop_token stop) override {
    return m_real.scanLibrary(options, std::move(progress), std::move(onPartial), stop);
  }
  [[nodiscard]] bool requestLibraryAuthorization() override {
    return m_real.requestLibraryAuthorization();
  }
  [[nodiscard]] std::vector<lumora::PhotoGroup> group(const std::vector<lumora::PhotoItem> &items,
                                                      float threshold,
                                                      lumora::GroupSort sort) override {
    return m_real.group(items, threshold, sort);
  }
  [[nodiscard]] lumora::Expected<bool, lumora::EngineCallError>
  setFavorite(const lumora::PhotoItem &item, bool favorite) override {
    return m_real.setFavorite(item, favorite);
  }
  [[nodiscard]] QImage previewImage(const lumora::PhotoItem &item, int maxPixel) override {
    return m_real.previewImage(item, maxPixel);
  }
  [[nodiscard]] QString displayName(const lumora::PhotoItem &item) override {
    return m_real.displayName(item);
  }
  [[nodiscard]] lumora::DeleteOutcome
  deleteItems(const std::vector<lumora::PhotoItem> &items) override {
    return m_real.deleteItems(items);
  }
  [[nodiscard]] lumora::Expected<std::int64_t, lumora::EngineCallError>
  undoDelete(const lumora::DeleteReceipt &receipt) override {
    return m_real.undoDelete(receipt);
  }
  void invalidateCache() override;

  /// From now on clearing waits until `release()`.
  void hold();
  void release();
  /// Clearings that have started, held or not.
  [[nodiscard]] int clearingsStarted() const;
  /// Clearings that have reached the engine.
  [[nodiscard]] int clearingsDone() const;

private:
  lumora::LumoraEngineClient m_real;
  mutable std::mutex m_mutex;
  std::condition_variable m_released;
  bool m_held = false;
  int m_started = 0;
  int m_done = 0;
};

} // namespace infotest
