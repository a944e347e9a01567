#pragma once

#include <QObject>
#include <QThreadPool>
#include <functional>
#include <memory>
#include <mutex>
#include <type_traits>

namespace lumora {

/// Runs blocking calls on worker threads and hands their results to the GUI thread as
/// queued invocations on a receiver object. It is the store's one way of working in the
/// background: results arrive in the order they were posted, always on the receiver's
/// thread, and nothing reaches the receiver once the relay is gone.
///
/// The relay itself lives on the GUI thread; its mailbox may be used from any thread.
class WorkerRelay {
public:
  /// Posts functions to the receiver's thread, from any thread, while it is open.
  class Mailbox {
  public:
    explicit Mailbox(QObject *receiver) : m_receiver(receiver) {}
    /// Queues `call` to run on the receiver's thread; dropped once the mailbox is closed.
    void post(std::function<void()> call);
    /// From here on every post is dropped. Called on the receiver's thread.
    void close();

  private:
    // Held while posting, so the receiver cannot be destroyed half-way through a post.
    std::mutex m_mutex;
    QObject *m_receiver;
  };

  WorkerRelay(QObject *receiver, int maxThreads);
  /// Closes the mailbox, then waits for the calls still running (callers ask long calls to
  /// stop first).
  ~WorkerRelay();
  WorkerRelay(const WorkerRelay &) = delete;
  WorkerRelay &operator=(const WorkerRelay &) = delete;

  /// Runs `work()` on a worker thread, then `done(result)` on the receiver's thread.
  /// Both are copied; give them copies of their inputs, never references to GUI objects.
  template <typename Work, typename Done> void run(Work work, Done done) {
    start(m_pool, std::move(work), std::move(done));
  }
  /// Like `run`, but these calls run one at a time in the order given, so their results
  /// arrive in that order too: a result never overtakes one that was asked for earlier.
  template <typename Work, typename Done> void runInOrder(Work work, Done done) {
    start(m_orderedPool, std::move(work), std::move(done));
  }

  [[nodiscard]] const std::shared_ptr<Mailbox> &mailbox() const { return m_mailbox; }

private:
  template <typename Work, typename Done> void start(QThreadPool &pool, Work work, Done done) {
    using Result = std::invoke_result_t<Work &>;
    std::shared_ptr<Mailbox> mailbox = m_mailbox;
    pool.start([mailbox, work, done]() mutable {
      auto result = std::make_shared<Result>(work());
      mailbox->post([done, result]() mutable { done(std::move(*result)); });
    });
  }

  std::shared_ptr<Mailbox> m_mailbox;
  QThreadPool m_pool;
  /// One thread: its calls run in the order they were started.
  QThreadPool m_orderedPool;
};

} // namespace lumora
