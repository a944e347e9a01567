#pragma once

#include "engine/model/ScanTypes.h"

#include <mutex>
#include <optional>

namespace lumora {

/// The hand-off of a running scan's progress: the engine's threads write every report, the
/// GUI thread's pump reads the latest one every 120 ms. Reading does not empty it. One box
/// per scan, so a superseded scan's reports never reach the pump of the next one.
class ScanProgressBox {
public:
  void store(const ScanProgress &progress) {
    const std::scoped_lock guard(m_mutex);
    m_value = progress;
  }
  [[nodiscard]] std::optional<ScanProgress> load() const {
    const std::scoped_lock guard(m_mutex);
    return m_value;
  }

private:
  mutable std::mutex m_mutex;
  std::optional<ScanProgress> m_value;
};

} // namespace lumora
