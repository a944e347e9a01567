#include "app/store/services/WorkerRelay.h"

namespace lumora {

void WorkerRelay::Mailbox::post(std::function<void()> call) {
  const std::scoped_lock guard(m_mutex);
  if (m_receiver != nullptr) {
    QMetaObject::invokeMethod(m_receiver, std::move(call), Qt::QueuedConnection);
  }
}

void WorkerRelay::Mailbox::close() {
  const std::scoped_lock guard(m_mutex);
  m_receiver = nullptr;
}

WorkerRelay::WorkerRelay(QObject *receiver, int maxThreads)
    : m_mailbox(std::make_shared<Mailbox>(receiver)) {
  m_pool.setMaxThreadCount(maxThreads);
  m_orderedPool.setMaxThreadCount(1);
}

WorkerRelay::~WorkerRelay() {
  m_mailbox->close();
  m_pool.waitForDone();
  m_orderedPool.waitForDone();
}

} // namespace lumora
