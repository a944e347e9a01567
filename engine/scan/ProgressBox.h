#pragma once

#include <cstdint>
#include <mutex>

namespace lumora {

/// The done counter shared by the workers of one scan. Thread-safe; the lock is held only for
/// one read or one increment.
class ProgressBox {
public:
  explicit ProgressBox(std::int64_t start) : m_value(start) {}

  /// Adds one and returns the new count, in one locked step so no two callers get the same.
  [[nodiscard]] std::int64_t increment() {
    const std::scoped_lock guard(m_lock);
    return ++m_value;
  }
  [[nodiscard]] std::int64_t value() const {
    const std::scoped_lock guard(m_lock);
    return m_value;
  }

private:
  mutable std::mutex m_lock;
  std::int64_t m_value;
};

} // namespace lumora
