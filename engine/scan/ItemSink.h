#pragma once

#include "engine/model/PhotoItem.h"

#include <mutex>
#include <utility>
#include <vector>

namespace lumora {

/// Every photo analysed by any worker of one scan, in the order the workers finished them.
/// Thread-safe; the lock is held only for one append or the final take.
class ItemSink {
public:
  void append(PhotoItem item) {
    const std::scoped_lock guard(m_lock);
    m_items.push_back(std::move(item));
  }
  /// Moves the collected photos out, leaving the sink empty.
  [[nodiscard]] std::vector<PhotoItem> take() {
    const std::scoped_lock guard(m_lock);
    return std::exchange(m_items, {});
  }

private:
  std::mutex m_lock;
  std::vector<PhotoItem> m_items;
};

} // namespace lumora
