#pragma once

#include <mutex>

namespace lumora {

/// Set by a worker that saw its scan cancelled. Thread-safe.
class CancelFlag {
public:
  void set() {
    const std::scoped_lock guard(m_lock);
    m_value = true;
  }
  [[nodiscard]] bool isSet() const {
    const std::scoped_lock guard(m_lock);
    return m_value;
  }

private:
  mutable std::mutex m_lock;
  bool m_value = false;
};

} // namespace lumora
