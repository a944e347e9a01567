#pragma once

#include "tests/store/support/FakeEngineClient.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace storetest {

/// The hand-driven engine with deletion and undo: a deletion moves photos in order as the
/// engine does (folder files into a pretend Trash, then the library photos in one change),
/// and may be told to stop part-way. Calls are recorded and may be held until released.
class RemovalEngineClient : public FakeEngineClient {
public:
  /// The next deletions move `movedBefore` folder photos, then stop with `error`.
  struct StopPartWay {
    std::size_t movedBefore = 0;
    lumora::EngineError error;
  };

  lumora::DeleteOutcome deleteItems(const std::vector<lumora::PhotoItem> &items) override;
  lumora::Expected<std::int64_t, lumora::EngineCallError>
  undoDelete(const lumora::DeleteReceipt &receipt) override;

  void stopDeletions(std::optional<StopPartWay> stop);
  /// Undo fails with `error` (none: undo moves every file of the receipt back).
  void failUndo(std::optional<lumora::EngineCallError> error);
  /// While held, deletions and undos wait; they count as started.
  void holdRemovals();
  void releaseRemovals();

  [[nodiscard]] int deleteCount() const;
  [[nodiscard]] std::vector<lumora::PhotoItem> deleteCall(int index) const;
  [[nodiscard]] int undoCount() const;
  [[nodiscard]] lumora::DeleteReceipt undoCall(int index) const;

private:
  void waitWhileHeld(std::unique_lock<std::mutex> &lock);

  mutable std::mutex m_removalMutex;
  std::condition_variable m_released;
  bool m_held = false;
  std::optional<StopPartWay> m_stop;
  std::optional<lumora::EngineCallError> m_undoError;
  std::vector<std::vector<lumora::PhotoItem>> m_deletes;
  std::vector<lumora::DeleteReceipt> m_undos;
};

/// A photo-library photo with the given id and capture time.
lumora::PhotoItem libraryPhoto(const std::string &id, double captured);

} // namespace storetest
