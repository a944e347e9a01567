#pragma once

#include "app/store/services/EngineClient.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace storetest {

using ScanOutcome = lumora::Expected<lumora::ScanResult, lumora::EngineCallError>;

/// An engine that the test drives by hand. Scans block their worker thread until the test
/// ends them (or a scripted outcome ends them at once); group calls are recorded and may be
/// held at a gate. Thread-safe: the store calls it from its worker threads.
class FakeEngineClient : public lumora::EngineClient {
public:
  /// One scan call as the store made it.
  struct ScanCall {
    QUrl folder;
    bool library = false;
    ProgressHandler progress;
    PartialHandler partial;
    std::stop_token stop;
    std::optional<ScanOutcome> outcome;
    /// What `deliver` handed over, in order.
    std::vector<lumora::PhotoItem> delivered;
  };
  /// How a scan whose stop was requested ends, unless the test ended it first.
  enum class OnStop { partialResult, error };
  struct GroupCall {
    std::vector<lumora::PhotoItem> items;
    float threshold = 0;
    lumora::GroupSort sort = lumora::GroupSort::date;
  };
  using Grouper = std::function<std::vector<lumora::PhotoGroup>(
      const std::vector<lumora::PhotoItem> &, float, lumora::GroupSort)>;

  FakeEngineClient();

  ScanOutcome scanFolder(const QUrl &folder, const lumora::ScanOptions &options,
                         ProgressHandler progress, PartialHandler onPartial,
                         std::stop_token stop) override;
  ScanOutcome scanLibrary(const lumora::ScanOptions &options, ProgressHandler progress,
                          PartialHandler onPartial, std::stop_token stop) override;
  bool requestLibraryAuthorization() override;
  std::vector<lumora::PhotoGroup> group(const std::vector<lumora::PhotoItem> &items,
                                        float threshold, lumora::GroupSort sort) override;
  lumora::Expected<bool, lumora::EngineCallError> setFavorite(const lumora::PhotoItem &item,
                                                              bool favorite) override;
  QImage previewImage(const lumora::PhotoItem &item, int maxPixel) override;
  QImage libraryThumbnail(const std::string &, int) override { return {}; }
  QString displayName(const lumora::PhotoItem &item) override { return item.fileName(); }
  lumora::DeleteOutcome deleteItems(const std::vector<lumora::PhotoItem> &) override { return {}; }
  lumora::Expected<std::int64_t, lumora::EngineCallError>
  undoDelete(const lumora::DeleteReceipt &receipt) override {
    return static_cast<std::int64_t>(receipt.trashedFiles.size());
  }
  void invalidateCache() override {}

  // Scans.
  /// The next scan call ends at once with `outcome` instead of waiting for the test.
  void scriptScan(ScanOutcome outcome);
  /// A stopped scan returns its delivered photos as a partial result, or fails (default).
  void setOnStop(OnStop onStop);
  [[nodiscard]] int scanCount() const;
  /// Waits (running the event loop) until at least `count` scans have started.
  bool waitForScans(int count);
  /// Calls scan `index`'s progress handler, as the engine's workers would.
  void report(int index, const lumora::ScanProgress &progress);
  /// Hands scan `index`'s partial handler a batch.
  void deliver(int index, const std::vector<lumora::PhotoItem> &batch);
  [[nodiscard]] bool stopRequested(int index) const;
  /// Lets scan `index` return `outcome`.
  void finish(int index, ScanOutcome outcome);
  [[nodiscard]] QUrl scannedFolder(int index) const;
  [[nodiscard]] bool scannedLibrary(int index) const;

  // Grouping.
  void setGrouper(Grouper grouper);
  /// While closed, group calls wait at the gate (they still count as started).
  void holdGroups();
  void releaseGroups();
  [[nodiscard]] int groupCount() const;
  [[nodiscard]] GroupCall groupCall(int index) const;

  // Library access and favourites.
  void setLibraryAuthorized(bool authorized);
  [[nodiscard]] int authorizationCount() const;
  void failFavorites(std::optional<lumora::EngineCallError> error);

private:
  ScanOutcome runScan(ScanCall call);

  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  std::deque<std::shared_ptr<ScanCall>> m_scans;
  std::deque<ScanOutcome> m_scripted;
  OnStop m_onStop = OnStop::error;
  std::vector<GroupCall> m_groupCalls;
  Grouper m_grouper;
  bool m_groupsHeld = false;
  bool m_libraryAuthorized = true;
  int m_authorizations = 0;
  std::optional<lumora::EngineCallError> m_favoriteError;
};

/// Groups photos that share a capture time, in order of first appearance; the threshold
/// and sort are ignored.
std::vector<lumora::PhotoGroup> groupBySameCaptureTime(const std::vector<lumora::PhotoItem> &items);

/// A finished scan result holding `items`.
lumora::ScanResult resultOf(std::vector<lumora::PhotoItem> items, bool partial = false);

} // namespace storetest
