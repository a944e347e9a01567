#include "tests/store/support/FakeEngineClient.h"

#include "tests/store/support/StoreTestSupport.h"

#include <map>

namespace storetest {

using namespace lumora;

namespace {
// A scan the test forgot to end gives up, so the store's destructor never waits forever.
constexpr auto kScanGiveUp = std::chrono::seconds(20);
} // namespace

FakeEngineClient::FakeEngineClient()
    : m_grouper([](const std::vector<PhotoItem> &items, float, GroupSort) {
        return groupBySameCaptureTime(items);
      }) {}

ScanOutcome FakeEngineClient::scanFolder(const QUrl &folder, const ScanOptions &,
                                         ProgressHandler progress, PartialHandler onPartial,
                                         std::stop_token stop) {
  return runScan({folder, false, std::move(progress), std::move(onPartial), std::move(stop), {}});
}

ScanOutcome FakeEngineClient::scanLibrary(const ScanOptions &, ProgressHandler progress,
                                          PartialHandler onPartial, std::stop_token stop) {
  return runScan({{}, true, std::move(progress), std::move(onPartial), std::move(stop), {}});
}

ScanOutcome FakeEngineClient::runScan(ScanCall call) {
  auto shared = std::make_shared<ScanCall>(std::move(call));
  // Registered before the lock is taken: it runs at once when the stop came already.
  const std::stop_callback wake(shared->stop, [this] {
    const std::scoped_lock lock(m_mutex);
    m_changed.notify_all();
  });
  std::unique_lock lock(m_mutex);
  m_scans.push_back(shared);
  m_changed.notify_all();
  if (!m_scripted.empty()) {
    ScanOutcome outcome = std::move(m_scripted.front());
    m_scripted.pop_front();
    return outcome;
  }
  m_changed.wait_for(lock, kScanGiveUp,
                     [&] { return shared->outcome.has_value() || shared->stop.stop_requested(); });
  if (shared->outcome) {
    return *shared->outcome;
  }
  if (shared->stop.stop_requested() && m_onStop == OnStop::partialResult) {
    return resultOf(shared->delivered, true);
  }
  return Unexpected(EngineCallError::fromEngine(EngineError::file(QStringLiteral("stopped"))));
}

bool FakeEngineClient::requestLibraryAuthorization() {
  const std::scoped_lock lock(m_mutex);
  ++m_authorizations;
  return m_libraryAuthorized;
}

std::vector<PhotoGroup> FakeEngineClient::group(const std::vector<PhotoItem> &items,
                                                float threshold, GroupSort sort) {
  Grouper grouper;
  {
    std::unique_lock lock(m_mutex);
    m_groupCalls.push_back({items, threshold, sort});
    m_changed.notify_all();
    m_changed.wait_for(lock, kScanGiveUp, [this] { return !m_groupsHeld; });
    grouper = m_grouper;
  }
  return grouper(items, threshold, sort);
}

Expected<bool, EngineCallError> FakeEngineClient::setFavorite(const PhotoItem &, bool favorite) {
  const std::scoped_lock lock(m_mutex);
  if (m_favoriteError) {
    return Unexpected(*m_favoriteError);
  }
  return favorite;
}

QImage FakeEngineClient::previewImage(const PhotoItem &, int) { return {}; }

void FakeEngineClient::scriptScan(ScanOutcome outcome) {
  const std::scoped_lock lock(m_mutex);
  m_scripted.push_back(std::move(outcome));
}

void FakeEngineClient::setOnStop(OnStop onStop) {
  const std::scoped_lock lock(m_mutex);
  m_onStop = onStop;
}

int FakeEngineClient::scanCount() const {
  const std::scoped_lock lock(m_mutex);
  return static_cast<int>(m_scans.size());
}

bool FakeEngineClient::waitForScans(int count) {
  return waitFor([this, count] { return scanCount() >= count; });
}

void FakeEngineClient::report(int index, const ScanProgress &progress) {
  ProgressHandler handler;
  {
    const std::scoped_lock lock(m_mutex);
    handler = m_scans.at(static_cast<std::size_t>(index))->progress;
  }
  handler(progress);
}

void FakeEngineClient::deliver(int index, const std::vector<PhotoItem> &batch) {
  PartialHandler handler;
  {
    const std::scoped_lock lock(m_mutex);
    ScanCall &call = *m_scans.at(static_cast<std::size_t>(index));
    handler = call.partial;
    call.delivered.insert(call.delivered.end(), batch.begin(), batch.end());
  }
  handler(batch);
}

bool FakeEngineClient::stopRequested(int index) const {
  const std::scoped_lock lock(m_mutex);
  return m_scans.at(static_cast<std::size_t>(index))->stop.stop_requested();
}

void FakeEngineClient::finish(int index, ScanOutcome outcome) {
  const std::scoped_lock lock(m_mutex);
  m_scans.at(static_cast<std::size_t>(index))->outcome = std::move(outcome);
  m_changed.notify_all();
}

QUrl FakeEngineClient::scannedFolder(int index) const {
  const std::scoped_lock lock(m_mutex);
  return m_scans.at(static_cast<std::size_t>(index))->folder;
}

bool FakeEngineClient::scannedLibrary(int index) const {
  const std::scoped_lock lock(m_mutex);
  return m_scans.at(static_cast<std::size_t>(index))->library;
}

void FakeEngineClient::setGrouper(Grouper grouper) {
  const std::scoped_lock lock(m_mutex);
  m_grouper = std::move(grouper);
}

void FakeEngineClient::holdGroups() {
  const std::scoped_lock lock(m_mutex);
  m_groupsHeld = true;
}

void FakeEngineClient::releaseGroups() {
  const std::scoped_lock lock(m_mutex);
  m_groupsHeld = false;
  m_changed.notify_all();
}

int FakeEngineClient::groupCount() const {
  const std::scoped_lock lock(m_mutex);
  return static_cast<int>(m_groupCalls.size());
}

FakeEngineClient::GroupCall FakeEngineClient::groupCall(int index) const {
  const std::scoped_lock lock(m_mutex);
  return m_groupCalls.at(static_cast<std::size_t>(index));
}

void FakeEngineClient::setLibraryAuthorized(bool authorized) {
  const std::scoped_lock lock(m_mutex);
  m_libraryAuthorized = authorized;
}

int FakeEngineClient::authorizationCount() const {
  const std::scoped_lock lock(m_mutex);
  return m_authorizations;
}

void FakeEngineClient::failFavorites(std::optional<EngineCallError> error) {
  const std::scoped_lock lock(m_mutex);
  m_favoriteError = std::move(error);
}

std::vector<PhotoGroup> groupBySameCaptureTime(const std::vector<PhotoItem> &items) {
  std::map<double, std::size_t> slot;
  std::vector<std::vector<PhotoItem>> buckets;
  for (const PhotoItem &item : items) {
    const auto [found, inserted] = slot.emplace(item.captureDate.secondsSince1970, buckets.size());
    if (inserted) {
      buckets.emplace_back();
    }
    buckets[found->second].push_back(item);
  }
  std::vector<PhotoGroup> groups;
  for (auto &bucket : buckets) {
    std::string id = bucket.front().id;
    groups.emplace_back(std::move(id), std::move(bucket));
  }
  return groups;
}

ScanResult resultOf(std::vector<PhotoItem> items, bool partial) {
  ScanResult result;
  result.fileCount = static_cast<std::int64_t>(items.size());
  result.items = std::move(items);
  result.isPartial = partial;
  return result;
}

} // namespace storetest
