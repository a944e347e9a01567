#include "app/store/images/CachingImageLoader.h"

#include "platform/core/imaging/DecodeBudget.h"

#include <QFuture>
#include <QPointer>
#include <QPromise>
#include <atomic>
#include <utility>
#include <vector>

namespace lumora {

/// One running job. `state` is the only field a worker touches; the rest belongs to the
/// GUI thread. A job starts queued; the worker moves it to running, or finds it cancelled
/// and produces nothing. Exactly one of the two wins.
struct CachingImageLoader::Job {
  enum State : int { queued, running, cancelled };

  struct Waiter {
    QPointer<QObject> context;
    ThumbnailHandler done;
  };

  std::string key;
  PhotoItem item;
  int maxPixel = 0;
  std::atomic<int> state{queued};

  void cancel() {
    int expected = queued;
    state.compare_exchange_strong(expected, cancelled);
  }
  bool begin() {
    int expected = queued;
    return state.compare_exchange_strong(expected, running);
  }
  std::vector<Waiter> waiters;
};

CachingImageLoader::CachingImageLoader(const Settings &settings, ImageProducer producer,
                                       QObject *parent)
    : QObject(parent), m_producer(std::move(producer)),
      m_cache(settings.name, settings.countLimit, settings.costLimit) {
  Q_ASSERT(m_producer);
  m_pool.setMaxThreadCount(qMax(1, settings.maxThreads));
  m_pool.setThreadPriority(settings.priority);
}

CachingImageLoader::~CachingImageLoader() {
  m_pool.clear();
  for (const auto &[key, job] : m_inflight) {
    job->cancel();
  }
  m_pool.waitForDone();
}

std::string CachingImageLoader::cacheKey(const PhotoItem &item, int maxPixel) {
  return item.id + "#" + std::to_string(maxPixel);
}

ThumbnailPtr CachingImageLoader::cached(const PhotoItem &item, int maxPixel) {
  Q_ASSERT(thread() == QThread::currentThread());
  const std::string key = cacheKey(item, maxPixel);
  if (ThumbnailPtr hit = m_cache.object(key)) {
    return hit;
  }
  ThumbnailPtr shown = m_shown.find(item, maxPixel);
  if (shown) {
    m_cache.insert(key, shown);
  }
  return shown;
}

ThumbnailPtr CachingImageLoader::load(const PhotoItem &item, int maxPixel, QObject *context,
                                      ThumbnailHandler done) {
  Q_ASSERT(thread() == QThread::currentThread());
  Q_ASSERT(context != nullptr && done);
  const std::string key = cacheKey(item, maxPixel);
  if (ThumbnailPtr hit = cached(item, maxPixel)) {
    return hit;
  }
  // Lookup, join and registration happen in one go on this thread, so two requests for
  // one key can never start two jobs.
  auto found = m_inflight.find(key);
  if (found == m_inflight.end()) {
    found = m_inflight.emplace(key, start(key, item, maxPixel)).first;
  }
  found->second->waiters.push_back({context, std::move(done)});
  return nullptr;
}

std::shared_ptr<CachingImageLoader::Job>
CachingImageLoader::start(const std::string &key, const PhotoItem &item, int maxPixel) {
  auto job = std::make_shared<Job>();
  job->key = key;
  job->item = item;
  job->maxPixel = maxPixel;
  auto promise = std::make_shared<QPromise<ThumbnailPtr>>();
  promise->future().then(this, [this, job](const ThumbnailPtr &result) { finish(job, result); });
  // The worker gets copies only: the photo, the size, the producer and the job's flag.
  // Queued jobs start largest first: the larger a photo, the more of the window it fills
  // (a card's best photo before its small candidates, a detail's tiles before a grid's).
  auto decode = [promise, job, item, maxPixel, producer = m_producer] {
    promise->start();
    QImage image;
    if (job->begin()) {
      // The window waits for these images: their decodes never queue behind a scan's.
      const platform::decodebudget::InteractiveScope interactive;
      image = producer(item, maxPixel);
    }
    promise->addResult(image.isNull() ? nullptr : std::make_shared<const Thumbnail>(image));
    promise->finish();
  };
  m_pool.start(std::move(decode), maxPixel);
  return job;
}

void CachingImageLoader::finish(const std::shared_ptr<Job> &job, const ThumbnailPtr &result) {
  // After clear() a newer job may own this key; only the job itself leaves the table.
  if (const auto found = m_inflight.find(job->key);
      found != m_inflight.end() && found->second == job) {
    m_inflight.erase(found);
  }
  if (result) {
    m_cache.insert(job->key, result);
    m_shown.note(job->item, job->maxPixel, result);
  }
  const std::vector<Job::Waiter> waiters = std::exchange(job->waiters, {});
  for (const Job::Waiter &waiter : waiters) {
    if (waiter.context) {
      waiter.done(result);
    }
  }
  emit answered();
}

ThumbnailPtr CachingImageLoader::standIn(const PhotoItem &item, int maxPixel) {
  Q_ASSERT(thread() == QThread::currentThread());
  return m_shown.larger(item, maxPixel);
}

void CachingImageLoader::abandon(const std::string &key, QObject *context) {
  Q_ASSERT(thread() == QThread::currentThread());
  const auto found = m_inflight.find(key);
  if (found == m_inflight.end()) {
    return;
  }
  const std::shared_ptr<Job> job = found->second;
  // Waiters whose context is gone wait for nothing either.
  std::erase_if(job->waiters,
                [context](const Job::Waiter &w) { return w.context == context || !w.context; });
  if (job->waiters.empty() && job->state == Job::queued) {
    job->cancel();
    m_inflight.erase(found);
  }
}

void CachingImageLoader::clear() {
  Q_ASSERT(thread() == QThread::currentThread());
  for (const auto &[key, job] : m_inflight) {
    job->cancel();
  }
  m_inflight.clear();
  m_cache.removeAll();
}

} // namespace lumora
