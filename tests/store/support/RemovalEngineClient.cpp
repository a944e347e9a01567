#include "tests/store/support/RemovalEngineClient.h"

namespace storetest {

using namespace lumora;

namespace {
// A test that forgets to release gives up, so the store's destructor never waits forever.
constexpr auto kHoldGiveUp = std::chrono::seconds(20);
} // namespace

DeleteOutcome RemovalEngineClient::deleteItems(const std::vector<PhotoItem> &items) {
  std::unique_lock lock(m_removalMutex);
  m_deletes.push_back(items);
  waitWhileHeld(lock);
  DeleteOutcome outcome;
  std::vector<std::string> library;
  for (const PhotoItem &item : items) {
    if (item.localIdentifier) {
      library.push_back(*item.localIdentifier);
      continue;
    }
    if (m_stop && outcome.receipt.trashedFiles.size() == m_stop->movedBefore) {
      outcome.error = m_stop->error;
      return outcome;
    }
    outcome.receipt.trashedFiles.push_back({item.id, "/trash/files/" + item.id});
    outcome.removedIDs.push_back(item.id);
  }
  if (m_stop && !library.empty()) {
    outcome.error = m_stop->error;
    return outcome;
  }
  outcome.receipt.libraryItemCount = static_cast<std::int64_t>(library.size());
  for (const PhotoItem &item : items) {
    if (item.localIdentifier) {
      outcome.removedIDs.push_back(item.id);
    }
  }
  return outcome;
}

Expected<std::int64_t, EngineCallError>
RemovalEngineClient::undoDelete(const DeleteReceipt &receipt) {
  std::unique_lock lock(m_removalMutex);
  m_undos.push_back(receipt);
  waitWhileHeld(lock);
  if (m_undoError) {
    return Unexpected(*m_undoError);
  }
  return static_cast<std::int64_t>(receipt.trashedFiles.size());
}

void RemovalEngineClient::waitWhileHeld(std::unique_lock<std::mutex> &lock) {
  m_released.wait_for(lock, kHoldGiveUp, [this] { return !m_held; });
}

void RemovalEngineClient::stopDeletions(std::optional<StopPartWay> stop) {
  const std::scoped_lock lock(m_removalMutex);
  m_stop = std::move(stop);
}

void RemovalEngineClient::failUndo(std::optional<EngineCallError> error) {
  const std::scoped_lock lock(m_removalMutex);
  m_undoError = std::move(error);
}

void RemovalEngineClient::holdRemovals() {
  const std::scoped_lock lock(m_removalMutex);
  m_held = true;
}

void RemovalEngineClient::releaseRemovals() {
  const std::scoped_lock lock(m_removalMutex);
  m_held = false;
  m_released.notify_all();
}

int RemovalEngineClient::deleteCount() const {
  const std::scoped_lock lock(m_removalMutex);
  return static_cast<int>(m_deletes.size());
}

std::vector<PhotoItem> RemovalEngineClient::deleteCall(int index) const {
  const std::scoped_lock lock(m_removalMutex);
  return m_deletes.at(static_cast<std::size_t>(index));
}

int RemovalEngineClient::undoCount() const {
  const std::scoped_lock lock(m_removalMutex);
  return static_cast<int>(m_undos.size());
}

DeleteReceipt RemovalEngineClient::undoCall(int index) const {
  const std::scoped_lock lock(m_removalMutex);
  return m_undos.at(static_cast<std::size_t>(index));
}

PhotoItem libraryPhoto(const std::string &id, double captured) {
  return PhotoItem("lib:" + id, QUrl(QStringLiteral("photo://asset/") + QString::fromStdString(id)),
                   0, false, 0, 0, Date{captured}, {}, id, Date{captured}, false);
}

} // namespace storetest
