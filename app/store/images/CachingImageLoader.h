#pragma once

#include "app/store/images/ShownImages.h"
#include "app/store/images/Thumbnail.h"
#include "app/store/images/ThumbnailCache.h"
#include "engine/model/PhotoItem.h"

#include <QObject>
#include <QThread>
#include <QThreadPool>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

namespace lumora {

/// Makes the image of one photo at a requested size; runs on a worker thread and must be
/// safe to call from several at once. A null image means there is none.
using ImageProducer = std::function<QImage(const PhotoItem &item, int maxPixel)>;

/// The machinery both image caches share: a bounded cache of decoded images keyed by photo
/// id and size, at most one running job per key, and the jobs in a thread pool of its own,
/// whose decodes take memory from the window's lane of the decode budget, never queued
/// behind a scan's.
///
/// Lives on the GUI thread and is used there only. Jobs get copies of what they need and
/// hand their result back through a queued continuation, so nothing on the GUI thread is
/// touched from a worker. Destroying the loader drops the queued jobs and waits for the
/// running ones, so a producer never outlives its owner.
class CachingImageLoader : public QObject {
  Q_OBJECT

public:
  struct Settings {
    QString name;
    int countLimit = 0;
    qint64 costLimit = 0;
    int maxThreads = 1;
    QThread::Priority priority = QThread::InheritPriority;
  };

  CachingImageLoader(const Settings &settings, ImageProducer producer, QObject *parent = nullptr);
  ~CachingImageLoader() override;

  /// The photo's id, "#", and `maxPixel` in decimal digits: "/p/a.jpg#1400". Kept as bytes,
  /// so two ids that differ only in bytes that are not UTF-8 never share an entry.
  [[nodiscard]] static std::string cacheKey(const PhotoItem &item, int maxPixel);

  /// Returns the cached image at once when there is one (or when a view still holds the
  /// image this loader made of the photo at that size), and then never calls `done`.
  /// Otherwise returns null and calls `done` later on this object's thread with the result
  /// (null when there is none), joining a running job for the same key instead of starting
  /// another; `done` is skipped when `context` has been destroyed by then. Of the jobs
  /// still queued, those of larger sizes start first.
  ThumbnailPtr load(const PhotoItem &item, int maxPixel, QObject *context, ThumbnailHandler done);
  /// Withdraws `context`'s wait for the image under `key` (see `cacheKey`): its `done` is
  /// not called. A job that nobody waits for any more and that has not started yet leaves
  /// the queue without decoding, so the images still wanted are made first.
  void abandon(const std::string &key, QObject *context);
  /// The cached image for the key, or null, without starting anything.
  [[nodiscard]] ThumbnailPtr cached(const PhotoItem &item, int maxPixel);
  /// An image of the photo larger than `maxPixel` that a view still holds, or null: the
  /// same pictures scaled down, to show until the asked size comes.
  [[nodiscard]] ThumbnailPtr standIn(const PhotoItem &item, int maxPixel);
  /// Cancels every running job (one not yet started then produces nothing), forgets them,
  /// and empties the cache. Callers already waiting still get what their job yields. The
  /// images views still hold stay findable for the files they were made from.
  void clear();

  [[nodiscard]] const ThumbnailCache &cache() const { return m_cache; }
  [[nodiscard]] int inflightCount() const { return static_cast<int>(m_inflight.size()); }

signals:
  /// A job ended and everyone who waited for it has had the answer (an image or none).
  void answered();

private:
  struct Job;

  std::shared_ptr<Job> start(const std::string &key, const PhotoItem &item, int maxPixel);
  void finish(const std::shared_ptr<Job> &job, const ThumbnailPtr &result);

  ImageProducer m_producer;
  ThumbnailCache m_cache;
  ShownImages m_shown;
  std::unordered_map<std::string, std::shared_ptr<Job>> m_inflight;
  QThreadPool m_pool;
};

} // namespace lumora
