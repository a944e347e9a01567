#include "engine/library/PendingImageRequest.h"

namespace lumora {

void PendingImageRequest::attach(Continuation continuation) {
  bool finished = false;
  {
    const std::scoped_lock guard(m_lock);
    finished = m_finished;
    if (!finished) {
      m_cont = std::move(continuation);
    }
  }
  if (finished) {
    continuation.set_value(std::nullopt);
  }
}

void PendingImageRequest::resume(Result image) {
  std::optional<Continuation> taken;
  {
    const std::scoped_lock guard(m_lock);
    if (m_finished) {
      return;
    }
    m_finished = true;
    taken.swap(m_cont);
  }
  if (taken) {
    taken->set_value(std::move(image));
  }
}

void PendingImageRequest::timeoutOut() {
  std::optional<Continuation> taken;
  platform::ImageRequestId id = 0;
  {
    const std::scoped_lock guard(m_lock);
    if (m_finished) {
      return;
    }
    m_finished = true;
    m_didTimeout = true;
    id = m_requestID;
    taken.swap(m_cont);
  }
  if (id != 0) {
    if (const auto manager = m_manager.lock()) {
      manager->cancelImageRequest(id);
    }
  }
  if (taken) {
    taken->set_value(std::nullopt);
  }
}

bool PendingImageRequest::storeRequestID(platform::ImageRequestId id) {
  const std::scoped_lock guard(m_lock);
  m_requestID = id;
  return m_finished;
}

bool PendingImageRequest::didTimeout() const {
  const std::scoped_lock guard(m_lock);
  return m_didTimeout;
}

} // namespace lumora
