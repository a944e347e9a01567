#include "app/store/images/ThumbnailLoader.h"

#include "app/store/services/EngineClient.h"
#include "app/store/services/ImageDecode.h"

namespace lumora {
namespace {

// Thumbnails must not compete with the analysis workers or the GUI: a few low-priority
// threads are enough to keep up with scrolling.
constexpr int kMaxThreads = 4;

CachingImageLoader::Settings thumbnailSettings() {
  return {QString::fromLatin1(ThumbnailLoader::kCacheName), ThumbnailLoader::kCountLimit,
          ThumbnailLoader::kTotalCostLimit, qBound(1, QThread::idealThreadCount(), kMaxThreads),
          QThread::LowPriority};
}

} // namespace

ThumbnailLoader::ThumbnailLoader(ImageProducer producer, ScanPictures scanPictures, QObject *parent)
    : QObject(parent), m_loader(thumbnailSettings(), std::move(producer)),
      m_scanPictures(std::move(scanPictures)) {
  connect(&m_loader, &CachingImageLoader::answered, this, &ThumbnailLoader::answered);
}

ThumbnailPtr ThumbnailLoader::thumbnail(const PhotoItem &item, int maxPixel, QObject *context,
                                        ThumbnailHandler done) {
  return m_loader.load(item, maxPixel, context, std::move(done));
}

void ThumbnailLoader::abandon(const PhotoItem &item, int maxPixel, QObject *context) {
  m_loader.abandon(CachingImageLoader::cacheKey(item, maxPixel), context);
}

ThumbnailPtr ThumbnailLoader::cached(const PhotoItem &item, int maxPixel) {
  return m_loader.cached(item, maxPixel);
}

ThumbnailPtr ThumbnailLoader::standIn(const PhotoItem &item, int maxPixel) {
  if (ThumbnailPtr shown = m_loader.standIn(item, maxPixel)) {
    return shown;
  }
  QImage picture = m_scanPictures ? m_scanPictures(item) : QImage();
  return picture.isNull() ? nullptr : std::make_shared<const Thumbnail>(std::move(picture));
}

void ThumbnailLoader::clearCache() { m_loader.clear(); }

// A folder photo's id is its path as native bytes, which names exactly the file it came
// from even where the path is not valid UTF-8 and its URL could not say it. A library photo
// never falls back to a file named like its id.
ImageProducer ThumbnailLoader::producer(std::shared_ptr<EngineClient> engine) {
  Q_ASSERT(engine);
  return [engine = std::move(engine)](const PhotoItem &item, int maxPixel) {
    return item.localIdentifier ? engine->libraryThumbnail(*item.localIdentifier, maxPixel)
                                : imagedecode::thumbnail(item.id, maxPixel);
  };
}

ThumbnailLoader::ScanPictures ThumbnailLoader::scanPictures(std::shared_ptr<EngineClient> engine) {
  Q_ASSERT(engine);
  return [engine = std::move(engine)](const PhotoItem &item) { return engine->scanPreview(item); };
}

} // namespace lumora
