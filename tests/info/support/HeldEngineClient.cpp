#include "tests/info/support/HeldEngineClient.h"

#include <chrono>

namespace infotest {

void HeldEngineClient::invalidateCache() {
  {
    std::unique_lock lock(m_mutex);
    ++m_started;
    m_released.wait_for(lock, std::chrono::seconds(20), [this] { return !m_held; });
  }
  m_real.invalidateCache();
  const std::scoped_lock lock(m_mutex);
  ++m_done;
}

void HeldEngineClient::hold() {
  const std::scoped_lock lock(m_mutex);
  m_held = true;
}

void HeldEngineClient::release() {
  const std::scoped_lock lock(m_mutex);
  m_held = false;
  m_released.notify_all();
}

int HeldEngineClient::clearingsStarted() const {
  const std::scoped_lock lock(m_mutex);
  return m_started;
}

int HeldEngineClient::clearingsDone() const {
  const std::scoped_lock lock(m_mutex);
  return m_done;
}

} // namespace infotest
