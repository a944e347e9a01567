#pragma once

#include "app/store/services/EngineClient.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>

namespace harness {

/// A real engine client whose scans can be held at a gate, so that a test or the screenshot
/// tool sees a short-lived scan state for as long as it likes. A held scan waits on its own
/// worker thread until the gate opens or the store asks the scan to stop (a pause), so
/// pausing a held scan behaves as pausing a running one. Thread-safe.
class GatedEngineClient final : public lumora::EngineClient {
public:
  using ProgressTest = std::function<bool(const lumora::ScanProgress &)>;
  using PartialTest = std::function<bool(const std::vector<lumora::PhotoItem> &)>;

  explicit GatedEngineClient(std::shared_ptr<lumora::EngineClient> inner)
      : m_inner(std::move(inner)) {}

  /// Scans wait before the engine starts.
  void holdAtStart() {
    arm([this] { m_atStart = true; });
  }
  /// Scan workers wait after a progress report that `test` accepts (after the store got it).
  void holdAtProgress(ProgressTest test) {
    arm([&] { m_progressTest = std::move(test); });
  }
  /// Scan workers wait after handing over a batch that `test` accepts.
  void holdAfterPartial(PartialTest test) {
    arm([&] { m_partialTest = std::move(test); });
  }
  /// Lets the scans waiting now go on; the holds stay armed for what comes next, except the
  /// hold at the start (so a held scan can be walked from one state to the next).
  void open() {
    std::lock_guard lock(m_mutex);
    ++m_epoch;
    m_atStart = false;
    m_changed.notify_all();
  }
  /// Disarms every hold and lets waiting scans go on: later scans run freely.
  void release() {
    {
      std::lock_guard lock(m_mutex);
      m_progressTest = {};
      m_partialTest = {};
    }
    open();
  }
  /// Offers no picture of what scans decoded, as for photos analysed in an earlier session:
  /// the window then decodes every photo it shows itself.
  void withholdScanPictures() { m_withholdScanPictures = true; }
  /// How many scan threads wait at the gate now.
  [[nodiscard]] int waiting() const {
    std::lock_guard lock(m_mutex);
    return m_waiting;
  }
  /// How many times a scan thread began to wait, ever; grows by one per hold.
  [[nodiscard]] int holds() const {
    std::lock_guard lock(m_mutex);
    return m_holds;
  }

  lumora::Expected<lumora::ScanResult, lumora::EngineCallError>
  scanFolder(const QUrl &folder, const lumora::ScanOptions &options, ProgressHandler progress,
             PartialHandler onPartial, std::stop_token stop) override {
    if (startHeld()) {
      wait(stop);
    }
    return m_inner->scanFolder(folder, options, gatedProgress(std::move(progress), stop),
                               gatedPartial(std::move(onPartial), stop), stop);
  }
  lumora::Expected<lumora::ScanResult, lumora::EngineCallError>
  scanLibrary(const lumora::ScanOptions &options, ProgressHandler progress,
              PartialHandler onPartial, std::stop_token stop) override {
    if (startHeld()) {
      wait(stop);
    }
    return m_inner->scanLibrary(options, gatedProgress(std::move(progress), stop),
                                gatedPartial(std::move(onPartial), stop), stop);
  }
  bool requestLibraryAuthorization() override { return m_inner->requestLibraryAuthorization(); }
  std::vector<lumora::PhotoGroup> group(const std::vector<lumora::PhotoItem> &items,
                                        float threshold, lumora::GroupSort sort) override {
    return m_inner->group(items, threshold, sort);
  }
  lumora::Expected<bool, lumora::EngineCallError> setFavorite(const lumora::PhotoItem &item,
                                                              bool favorite) override {
    return m_inner->setFavorite(item, favorite);
  }
  QImage previewImage(const lumora::PhotoItem &item, int maxPixel) override {
    return m_inner->previewImage(item, maxPixel);
  }
  QImage libraryThumbnail(const std::string &localIdentifier, int maxPixel) override {
    return m_inner->libraryThumbnail(localIdentifier, maxPixel);
  }
  QImage scanPreview(const lumora::PhotoItem &item) override {
    return m_withholdScanPictures ? QImage() : m_inner->scanPreview(item);
  }
  QString displayName(const lumora::PhotoItem &item) override { return m_inner->displayName(item); }
  lumora::DeleteOutcome deleteItems(const std::vector<lumora::PhotoItem> &items) override {
    return m_inner->deleteItems(items);
  }
  lumora::Expected<std::int64_t, lumora::EngineCallError>
  undoDelete(const lumora::DeleteReceipt &receipt) override {
    return m_inner->undoDelete(receipt);
  }
  void invalidateCache() override { m_inner->invalidateCache(); }

private:
  template <typename Change> void arm(Change change) {
    std::lock_guard lock(m_mutex);
    change();
  }

  bool startHeld() const {
    std::lock_guard lock(m_mutex);
    return m_atStart;
  }

  ProgressHandler gatedProgress(ProgressHandler forward, std::stop_token stop) {
    return [this, forward = std::move(forward), stop](const lumora::ScanProgress &progress) {
      forward(progress);
      bool hold = false;
      {
        std::lock_guard lock(m_mutex);
        hold = m_progressTest && m_progressTest(progress);
      }
      if (hold) {
        wait(stop);
      }
    };
  }

  PartialHandler gatedPartial(PartialHandler forward, std::stop_token stop) {
    return [this, forward = std::move(forward), stop](const std::vector<lumora::PhotoItem> &batch) {
      forward(batch);
      bool hold = false;
      {
        std::lock_guard lock(m_mutex);
        hold = m_partialTest && m_partialTest(batch);
      }
      if (hold) {
        wait(stop);
      }
    };
  }

  /// Waits until the gate opens (a release after this wait began) or the scan must stop.
  void wait(std::stop_token stop) {
    std::unique_lock lock(m_mutex);
    const long epoch = m_epoch;
    ++m_waiting;
    ++m_holds;
    m_changed.wait(lock, stop, [&] { return m_epoch != epoch; });
    --m_waiting;
  }

  std::shared_ptr<lumora::EngineClient> m_inner;
  mutable std::mutex m_mutex;
  std::condition_variable_any m_changed;
  long m_epoch = 0;
  int m_waiting = 0;
  int m_holds = 0;
  bool m_atStart = false;
  std::atomic<bool> m_withholdScanPictures = false;
  ProgressTest m_progressTest;
  PartialTest m_partialTest;
};

} // namespace harness
